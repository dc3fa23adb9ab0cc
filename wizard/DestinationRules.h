// The rules for the destination folder text, kept apart from the form so that they are portable.
#pragma once

#include <string>
#include <string_view>

namespace setup {

// Whether a typed destination may show its drive's free space: its first letter, in upper case,
// is one of the fixed drives and ":\" follows it.
bool IsOnFixedDrive(std::u16string_view text, std::u16string_view fixedDriveLetters);

// The destination folder as the install uses it: a "\" appended when the text does not end in one
// (or is empty), then characters with codes up to 32 removed from both ends.
std::u16string NormaliseSetupDir(std::u16string_view text);

}  // namespace setup
