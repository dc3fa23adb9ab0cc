// Byte counts as the short display text shown next to the free-space label.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

// "0 Bytes" .. "1023 Bytes" (negative sizes included), whole kilobytes below 1 MB, and megabytes
// or gigabytes with one decimal up to 100 and whole numbers above. Units are powers of two;
// rounding is to the nearest, ties to even. The decimal separator is DecimalSeparator().
std::u16string FormatByteSize(std::int64_t size);

}  // namespace setup
