#include "shell/ByteSize.h"

#include <charconv>
#include <cmath>

#include "base/Convert.h"
#include "base/Text.h"

namespace setup {

namespace {

constexpr std::int64_t kKilobyte = std::int64_t{1} << 10;
constexpr std::int64_t kMegabyte = std::int64_t{1} << 20;
constexpr std::int64_t kGigabyte = std::int64_t{1} << 30;

// Kilobytes are whole numbers; integer arithmetic keeps the tie between two neighbours exact.
std::int64_t WholeKilobytes(std::int64_t size) {
  const std::int64_t quotient = size / kKilobyte;
  const std::int64_t remainder = size % kKilobyte;
  if (remainder > kKilobyte / 2) return quotient + 1;
  if (remainder == kKilobyte / 2) return quotient + (quotient & 1);
  return quotient;
}

// Above 100 units the figure is whole, otherwise it keeps one decimal.
double RoundedUnits(double units) {
  // std::nearbyint rounds ties to even under the default rounding mode.
  if (units > 100.0) return std::nearbyint(units);
  return std::nearbyint(units * 10.0) / 10.0;
}

// Fifteen significant digits, trailing zeros and a bare separator dropped. The largest figure
// (2^63 bytes in GB) has ten integer digits, so the general form never turns to an exponent.
std::u16string NumberText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::u16string text;
  for (const char* p = buffer; p != result.ptr; ++p) text += *p == '.' ? DecimalSeparator() : char16_t(*p);
  return text;
}

}  // namespace

std::u16string FormatByteSize(std::int64_t size) {
  if (size < kKilobyte) return IntToText(size) + u" Bytes";
  if (size < kMegabyte) return IntToText(WholeKilobytes(size)) + u" KB";
  if (size < kGigabyte)
    return NumberText(RoundedUnits(static_cast<double>(size) / static_cast<double>(kMegabyte))) + u" MB";
  return NumberText(RoundedUnits(static_cast<double>(size) / static_cast<double>(kGigabyte))) + u" GB";
}

}  // namespace setup
