// The rules that keep a package's target folders and file names inside the folders they name.
// A package is untrusted input: these checks run over the whole table before any file is touched.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// A target folder text below the destination: empty, or relative components separated by "\"
// or "/". Rejected: a leading separator (root, UNC or device path), any ":" (drive letter or
// stream name), a ".." component (or any other made only of dots and spaces, which Windows
// trims to one), a reserved device name, and control characters.
bool IsSafeRelativeFolder(std::u16string_view folder);

// The part of a column-1 name that is written: what follows its last "\", "/" or ":".
std::u16string_view LastNameComponent(std::u16string_view name);

// A file name component that can be written: not empty, ".", "..", made only of dots and spaces,
// a reserved device name ("CON", "nul.txt", "COM1", "LPT9.log", ...), nor holding control
// characters.
bool IsSafeFileName(std::u16string_view component);

// "CON", "PRN", "AUX", "NUL", "COM1"-"COM9", "LPT1"-"LPT9", "CONIN$", "CONOUT$" in any letter case,
// with or without an extension and trailing spaces.
bool IsReservedDeviceName(std::u16string_view component);

// For a macro folder text (first character "$"): the folder text that follows the macro, when the
// text is one macro followed by a safe relative folder. A text that holds
// "System" (with exactly this case) names the "$System$" macro, matched without regard to case;
// any other names "$Third$". A macro that is not at the start, that occurs twice or is not there
// at all gives no value: such a folder would not be the system folder.
std::optional<std::u16string_view> MacroRemainder(std::u16string_view folder);

}  // namespace setup
