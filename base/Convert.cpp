#include "base/Convert.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/Errors.h"
#include "base/Platform.h"
#include "base/Text.h"

namespace setup {

namespace {
int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
}  // namespace

std::optional<std::int32_t> TryTextToInt(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';

  bool hex = false;
  if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    hex = true, ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    hex = true, i += 2;
  }
  if (i == text.size()) return std::nullopt;

  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = hex ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - u'0' : -1);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(digit);
    if (magnitude > 0xFFFFFFFFull) return std::nullopt;
  }
  if (hex) {
    auto pattern = static_cast<std::uint32_t>(magnitude);
    if (negative) pattern = 0u - pattern;
    return static_cast<std::int32_t>(pattern);
  }
  if (negative) {
    if (magnitude > 0x80000000ull) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
  }
  if (magnitude > 0x7FFFFFFFull) return std::nullopt;
  return static_cast<std::int32_t>(magnitude);
}

std::int32_t TextToInt(std::u16string_view text) {
  if (auto value = TryTextToInt(text)) return *value;
  throw EConvertError::InvalidInteger(text);
}

std::optional<double> TryTextToFloat(std::u16string_view text) {
  // Blanks around the number, a sign, digits with at most one decimal separator and an
  // optional exponent. At least one digit of mantissa is required.
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == u' ') ++b;
  while (e > b && text[e - 1] == u' ') --e;
  std::string ascii;
  std::size_t i = b;
  if (i < e && (text[i] == u'+' || text[i] == u'-')) ascii += static_cast<char>(text[i++]);
  bool digits = false;
  while (i < e && IsDigit(text[i])) ascii += static_cast<char>(text[i++]), digits = true;
  if (i < e && text[i] == DecimalSeparator()) {
    ascii += '.', ++i;
    while (i < e && IsDigit(text[i])) ascii += static_cast<char>(text[i++]), digits = true;
  }
  if (!digits) return std::nullopt;
  if (i < e && (text[i] == u'e' || text[i] == u'E')) {
    ascii += 'e', ++i;
    if (i < e && (text[i] == u'+' || text[i] == u'-')) ascii += static_cast<char>(text[i++]);
    bool exponentDigits = false;
    while (i < e && IsDigit(text[i])) ascii += static_cast<char>(text[i++]), exponentDigits = true;
    if (!exponentDigits) return std::nullopt;
  }
  if (i != e) return std::nullopt;
  const double value = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

bool TextToBool(std::u16string_view text) {
  if (auto number = TryTextToFloat(text)) return *number != 0.0;
  if (SameTextIgnoreCase(text, u"True")) return true;
  if (SameTextIgnoreCase(text, u"False")) return false;
  throw EConvertError::InvalidBoolean(text);
}

}  // namespace setup

namespace setup {

namespace {
std::atomic<char16_t> separatorOverride{0};
}

char16_t DecimalSeparator() {
  static const char16_t fromLocale = platform::ReadUserDecimalSeparator();
  const char16_t set = separatorOverride.load();
  return set ? set : fromLocale;
}

void SetDecimalSeparator(char16_t separator) { separatorOverride.store(separator); }

}  // namespace setup
