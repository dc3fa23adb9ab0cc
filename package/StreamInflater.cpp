#include "package/StreamInflater.h"

#include <algorithm>

#include "package/PackageErrors.h"

namespace setup {

StreamInflater::StreamInflater() : in_(kChunkBytes), out_(kChunkBytes) {
  const int code = inflateInit(&stream_);
  if (code != Z_OK) throw EDecompressionError::FromZlibCode(code);
  ready_ = true;
}

StreamInflater::~StreamInflater() {
  if (ready_) inflateEnd(&stream_);
}

void StreamInflater::Inflate(ByteSource& package, std::int64_t packedSize, std::int64_t unpackedSize,
                             const Sink& sink) {
  if (packedSize == 0 && unpackedSize == 0) return;
  const int reset = inflateReset(&stream_);
  if (reset != Z_OK) throw EDecompressionError::FromZlibCode(reset);

  std::int64_t unread = packedSize;
  std::int64_t produced = 0;
  stream_.avail_in = 0;
  for (;;) {
    if (stream_.avail_in == 0 && unread > 0) {
      const auto count = static_cast<std::size_t>(std::min<std::int64_t>(unread, kChunkBytes));
      package.ReadBuffer(in_.data(), count);
      unread -= static_cast<std::int64_t>(count);
      stream_.next_in = in_.data();
      stream_.avail_in = static_cast<uInt>(count);
    }
    stream_.next_out = out_.data();
    stream_.avail_out = static_cast<uInt>(out_.size());
    const int code = inflate(&stream_, Z_NO_FLUSH);
    const std::size_t got = out_.size() - stream_.avail_out;
    if (produced + static_cast<std::int64_t>(got) > unpackedSize) throw EDecompressionError::FromZlibCode(Z_BUF_ERROR);
    if (got != 0) sink(out_.data(), got);
    produced += static_cast<std::int64_t>(got);

    switch (code) {
      case Z_STREAM_END:
        if (produced != unpackedSize) throw EDecompressionError::FromZlibCode(Z_DATA_ERROR);
        return;
      case Z_OK:
        break;
      case Z_BUF_ERROR:
        // No progress was possible: with output room, that means the input ran out mid-stream.
        if (stream_.avail_in == 0 && unread == 0) throw EDecompressionError::FromZlibCode(Z_DATA_ERROR);
        throw EDecompressionError::FromZlibCode(Z_BUF_ERROR);
      default:
        throw EDecompressionError::FromZlibCode(code);
    }
  }
}

}  // namespace setup
