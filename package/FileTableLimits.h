// How large a package's file table may be. Every row of the data table costs a fixed amount of
// memory whatever its text, so a table of nothing but row separators would cost about a hundred
// times its text; these limits bound that cost while leaving room for products ten times larger
// than the largest we know (over 100,000 files).
#pragma once

#include <cstdint>

namespace setup::file_table {

// Rows of the file table, counted in the deciphered text before it becomes a data table.
inline constexpr std::int64_t kMaxRows = 1000000;
// Bytes of the enciphered table text, checked on the length field before the text is read.
// A row of a real product takes about 100 bytes here, so this allows more than kMaxRows of them.
inline constexpr std::int64_t kMaxTextBytes = std::int64_t{128} * 1024 * 1024;

}  // namespace setup::file_table
