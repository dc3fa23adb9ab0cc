// Fixed drives and their free space (Windows only).
#pragma once

#include <cstdint>
#include <string>

namespace setup {

// The upper-case letters of the drives whose root reports DRIVE_FIXED, in alphabetical order and
// without separators; empty when there is none.
std::u16string GetFixedDriveLetters();

// The bytes available to the calling user (which quotas can make smaller than the volume's free
// bytes) on the drive of `letter`, upper or lower case; -1 when the drive cannot be asked.
std::int64_t GetDriveFreeSpace(char16_t letter);

}  // namespace setup
