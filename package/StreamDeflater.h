// Compressing one source file into one zlib stream, in fixed-size chunks.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

struct DeflatedSizes {
  std::int64_t packed = 0;
  std::int64_t unpacked = 0;
};

// Writes the zlib stream of source (level 0-9, or -1 for zlib's default) to a new file target.
// Raises EFOpenError, EFCreateError, EReadError, EWriteError, and EDecompressionError with
// zlib's text when zlib refuses.
DeflatedSizes DeflateFile(const std::u16string& source, const std::u16string& target, int level);

}  // namespace setup
