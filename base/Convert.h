// Integer and boolean text conversions used by the table's typed views and the configuration.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace setup {

// Signed 32-bit integer: optional leading blanks, optional sign, then decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". Hexadecimal text is a 32-bit pattern
// (at most eight significant digits, "$FFFFFFFF" is -1); decimal text must fit the range.
std::optional<std::int32_t> TryTextToInt(std::u16string_view text);
// As above; raises EConvertError "''%s'' is not a valid integer value".
std::int32_t TextToInt(std::u16string_view text);

// A decimal number with the user's decimal separator (non-zero is true), or "True" / "False"
// in any letter case. Raises EConvertError "'%s' is not a valid boolean value".
bool TextToBool(std::u16string_view text);
// The number part of it: whether a decimal number is non-zero as a double holds it (too small a
// magnitude is zero), or nothing when the text is no number or too large for a double.
std::optional<bool> TryNumberTextToBool(std::u16string_view text);

// The user's decimal separator, read from the locale settings once, on first use.
char16_t DecimalSeparator();
// Tests and hosts without locale settings may set it.
void SetDecimalSeparator(char16_t separator);

}  // namespace setup
