// What a safe relative path is: the one rule set for every path that a package or an
// uninstaller's file list names below a folder the user chose (or the system folder).
// Such paths come from untrusted input and are written or deleted with administrator rights,
// so each component must name an ordinary file or folder inside its base and nothing else.
#pragma once

#include <string_view>

namespace setup {

// C0 controls (U+0000-U+001F), DEL (U+007F) and C1 controls (U+0080-U+009F).
bool IsControlCharacter(char16_t c);

// "CON", "PRN", "AUX", "NUL", "COM1"-"COM9", "LPT1"-"LPT9" (also with superscript 1-3),
// "CONIN$", "CONOUT$" in any letter case, with or without an extension and trailing spaces.
bool IsReservedDeviceName(std::u16string_view component);

// One component that names an ordinary entry inside its folder. Rejected: empty text, a
// component made only of dots and spaces ("." and ".." included: Windows trims the rest to one
// of them), a reserved device name, control characters, a separator ("\\" or "/") and ":" (a
// drive or an alternate stream).
bool IsSafePathComponent(std::u16string_view component);

// Components separated by "\" or "/", each a safe component: so no leading separator (a root,
// a UNC or device path), no trailing one and no empty component.
bool IsSafeRelativePath(std::u16string_view path);

}  // namespace setup
