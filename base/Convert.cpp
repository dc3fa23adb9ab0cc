#include "base/Convert.h"

#include <algorithm>
#include <atomic>
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

namespace {

// The smallest magnitudes, as significant digits from the leading one, that a double does not
// hold as a finite non-zero value: halfway from the largest double to the next power of two
// (2^1024 - 2^970, which rounds to infinity) at 10^308, and halfway from zero to the smallest
// double (2^-1075, which rounds to zero) at 10^-324. Both limits go on with more non-zero digits,
// so forty digits decide every number written with at most forty; a longer one that agrees with
// all forty is taken as beyond the limit.
constexpr std::string_view kOverflowDigits = "1797693134862315807937289714053034150799";
constexpr int kOverflowExponent = 308;
constexpr std::string_view kUnderflowDigits = "2470328229206232720882843964341106861825";
constexpr int kUnderflowExponent = -324;

// Compares significant digits (the leading one not zero) with a limit's.
int CompareDigits(std::string_view digits, std::string_view limit) {
  const std::size_t shared = std::min(digits.size(), limit.size());
  if (const int order = digits.substr(0, shared).compare(limit.substr(0, shared)); order != 0) return order;
  return digits.size() > limit.size() ? 1 : 0;
}

}  // namespace

std::optional<bool> TryNumberTextToBool(std::u16string_view text) {
  // Blanks around the number, a sign, digits with at most one decimal separator and an
  // optional exponent. At least one digit of mantissa is required. The value is not computed:
  // it is non-zero when a digit is, unless it is too small for a double (zero) or too large
  // (no number at all), as converting it to a double would find.
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == u' ') ++b;
  while (e > b && text[e - 1] == u' ') --e;
  std::size_t i = b;
  if (i < e && (text[i] == u'+' || text[i] == u'-')) ++i;
  std::string significant;  // from the first non-zero digit on
  long long integerDigits = 0;
  bool digits = false;
  while (i < e && IsDigit(text[i])) {
    if (!significant.empty() || text[i] != u'0') significant += static_cast<char>(text[i]);
    if (!significant.empty()) ++integerDigits;
    ++i, digits = true;
  }
  long long leadingExponent = integerDigits - 1;  // of the first non-zero digit, before the exponent part
  if (i < e && text[i] == DecimalSeparator()) {
    ++i;
    long long place = -1;
    while (i < e && IsDigit(text[i])) {
      if (significant.empty() && text[i] != u'0') leadingExponent = place;
      if (!significant.empty() || text[i] != u'0') significant += static_cast<char>(text[i]);
      --place, ++i, digits = true;
    }
  }
  if (!digits) return std::nullopt;
  long long exponent = 0;
  if (i < e && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    const bool negative = i < e && text[i] == u'-';
    if (i < e && (text[i] == u'+' || text[i] == u'-')) ++i;
    bool exponentDigits = false;
    while (i < e && IsDigit(text[i])) {
      // Far beyond either limit already; stop growing.
      if (exponent < 1'000'000) exponent = exponent * 10 + (text[i] - u'0');
      ++i, exponentDigits = true;
    }
    if (!exponentDigits) return std::nullopt;
    if (negative) exponent = -exponent;
  }
  if (i != e) return std::nullopt;
  if (significant.empty()) return false;
  while (significant.back() == '0') significant.pop_back();
  const long long magnitude = leadingExponent + exponent;
  if (magnitude > kOverflowExponent) return std::nullopt;
  if (magnitude == kOverflowExponent && CompareDigits(significant, kOverflowDigits) > 0) return std::nullopt;
  if (magnitude < kUnderflowExponent) return false;
  if (magnitude == kUnderflowExponent && CompareDigits(significant, kUnderflowDigits) <= 0) return false;
  return true;
}

bool TextToBool(std::u16string_view text) {
  if (const auto number = TryNumberTextToBool(text)) return *number;
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
