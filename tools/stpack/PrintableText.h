// Text from a package (or from anywhere else) as the tool prints it to a terminal or a file.
#pragma once

#include <string>
#include <string_view>

namespace setup::stpack {

// The text with every control character (C0, DEL and C1: U+0000-U+001F, U+007F-U+009F) written
// as "\x" and two upper-case hexadecimal digits, so that a package cannot send escape sequences,
// carriage returns or line breaks to the user's terminal, and tab-separated output keeps one row
// a line and five cells a row. A backslash stays as it is (paths are full of them), except where
// it would read as the start of an escape: before another backslash, before a control character
// or before "x" and two hexadecimal digits it is written "\\". Reading back, from left to right:
// "\xHH" is that character, "\\" is one backslash, any other backslash stands for itself.
std::u16string PrintableText(std::u16string_view text);

}  // namespace setup::stpack
