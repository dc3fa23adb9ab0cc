// One zlib stream made of independently compressed blocks, so that a large file is compressed
// by several threads. Each block of a file is raw deflate data primed with the 32 KiB before it
// and ended on a byte boundary (a sync flush; the last block finishes the stream). The blocks
// have a fixed size, so the stream depends only on the file and the level, never on the number
// of threads.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace setup {

inline constexpr std::int64_t kDeflateBlockBytes = 1 << 20;

// Blocks in a file of this size: at least one, so an empty file still has its stream.
std::int64_t DeflateBlockCount(std::int64_t fileSize);

// The two-byte zlib header for this level (-1 is zlib's default, 6).
std::array<std::uint8_t, 2> ZlibHeader(int level);

struct DeflatedBlock {
  std::vector<std::uint8_t> data;  // raw deflate data
  std::uint32_t adler = 1;         // Adler-32 of the block's input bytes
  std::int64_t size = 0;           // input bytes
};

// Compresses block `index` of source, whose size was fileSize when the package was planned.
// Raises EFOpenError, EReadError (the file has become shorter) and EDecompressionError with
// zlib's text when zlib refuses.
DeflatedBlock DeflateBlock(const std::u16string& source, std::int64_t fileSize, std::int64_t index, int level);

}  // namespace setup
