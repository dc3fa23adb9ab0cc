// The rules for the destination folder text, kept apart from the form so that they are portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// Whether a typed destination may show its drive's free space: its first letter, in upper case,
// is one of the fixed drives and ":\" follows it.
bool IsOnFixedDrive(std::u16string_view text, std::u16string_view fixedDriveLetters);

// The destination folder as the install uses it: a "\" appended when the text does not end in one
// (or is empty), then characters with codes up to 32 removed from both ends.
std::u16string NormaliseSetupDir(std::u16string_view text);

// The destination as the system will reach it, so that what is installed, logged and registered
// is one and the same folder: "X:\" then its steps, "." steps dropped, ".." steps taking the one
// before (never the drive), trailing dots and blanks of each step dropped as the system drops
// them, "/" read as "\", and one "\" at the end. Empty for a text that is not a full path on a
// drive.
std::optional<std::u16string> CanonicalDestination(std::u16string_view folder);

// Whether a canonical destination is a folder no product may be installed into: a drive's root,
// or one of `systemFolders` itself (the Windows folder, the system folder, the program-files
// folders), compared without case and without regard to a trailing "\".
bool IsReservedDestination(std::u16string_view canonical, const std::vector<std::u16string>& systemFolders);

}  // namespace setup
