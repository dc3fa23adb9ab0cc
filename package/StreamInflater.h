// Inflating one package stream in fixed-size chunks, so memory stays flat whatever the file size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/ByteSource.h"

namespace setup {

class StreamInflater {
 public:
  static constexpr std::size_t kChunkBytes = 256 * 1024;

  // Receives each inflated chunk in order.
  using Sink = std::function<void(const std::uint8_t* data, std::size_t size)>;

  // readBytes: how much of a stream is read from a file at a time (at most kChunkBytes is
  // useful). Only tests and fuzzers make it small, to cross a refill at every kind of boundary.
  explicit StreamInflater(std::size_t readBytes = kChunkBytes);
  ~StreamInflater();
  StreamInflater(const StreamInflater&) = delete;
  StreamInflater& operator=(const StreamInflater&) = delete;

  // Inflates the zlib stream of packedSize bytes at the package's current position. It must
  // end (with a good checksum) after exactly unpackedSize bytes: a stream that is corrupt or
  // shorter raises EDecompressionError "data error", one that goes on raises "buffer error",
  // before the sink receives a byte beyond unpackedSize. Bytes after the stream's end within
  // packedSize are not read. A row with no stream and no bytes (both sizes 0) is an empty file.
  void Inflate(ByteSource& package, std::int64_t packedSize, std::int64_t unpackedSize, const Sink& sink);

  // Where the next inflated bytes go: writable room for `size` bytes (at most kChunkBytes).
  using Room = std::function<std::uint8_t*(std::size_t size)>;
  // The room last given now holds `size` inflated bytes (never 0).
  using Filled = std::function<void(std::size_t size)>;
  // Inflate, straight into the caller's memory.
  void InflateInto(ByteSource& package, std::int64_t packedSize, std::int64_t unpackedSize, const Room& room,
                   const Filled& filled);

 private:
  std::vector<std::uint8_t> in_;      // a chunk of a stream read from a file: readBytes long
  std::vector<std::uint8_t> out_;     // a chunk of inflated bytes for Inflate
  std::vector<std::uint8_t> window_;  // the last 32 KiB and the next chunk of a large file
};

}  // namespace setup
