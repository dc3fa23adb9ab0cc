// The escaping that lets a converted column carry "," and "|" through the table's text form.
#pragma once

#include <string>
#include <string_view>

namespace setup {

inline constexpr char16_t kEscapedComma = 26;
inline constexpr char16_t kEscapedBar = 27;

// The stored form of a value written to a converted column: "," and "|" become characters 26
// and 27, other control characters a space (tab, line feed and carriage return stay when
// keepLineBreaks is set), and the value ends at its first NUL.
std::u16string EscapeCellText(std::u16string_view value, bool keepLineBreaks);

// The value of a converted column's stored text: characters 26 and 27 read as "," and "|".
std::u16string UnescapeCellText(std::u16string_view stored);

}  // namespace setup
