#include "shell/ByteSize.h"

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

// Above 100 units the figure is whole, otherwise it keeps one decimal. The rounded figure is
// written from its whole number of tenths, so no floating-point formatter is linked in (its
// tables alone would be a large part of the setup program).
// std::nearbyint rounds ties to even under the default rounding mode.
std::u16string UnitsText(double units) {
  if (units > 100.0) return IntToText(static_cast<std::int64_t>(std::nearbyint(units)));
  const auto tenths = static_cast<std::int64_t>(std::nearbyint(units * 10.0));
  std::u16string text = IntToText(tenths / 10);
  if (tenths % 10 != 0) {
    text += DecimalSeparator();
    text += static_cast<char16_t>(u'0' + tenths % 10);
  }
  return text;
}

}  // namespace

std::u16string FormatByteSize(std::int64_t size) {
  if (size < kKilobyte) return IntToText(size) + u" Bytes";
  if (size < kMegabyte) return IntToText(WholeKilobytes(size)) + u" KB";
  if (size < kGigabyte) return UnitsText(static_cast<double>(size) / static_cast<double>(kMegabyte)) + u" MB";
  return UnitsText(static_cast<double>(size) / static_cast<double>(kGigabyte)) + u" GB";
}

}  // namespace setup
