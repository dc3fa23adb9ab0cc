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

namespace {
// The most bytes borrowed at once: what zlib's 32-bit counts hold with room to spare.
constexpr std::int64_t kMostBorrowedBytes = std::int64_t{1} << 30;
}  // namespace

void StreamInflater::Inflate(ByteSource& package, std::int64_t packedSize, std::int64_t unpackedSize,
                             const Sink& sink) {
  InflateInto(
      package, packedSize, unpackedSize, [this](std::size_t) { return out_.data(); },
      [this, &sink](std::size_t size) { sink(out_.data(), size); });
}

void StreamInflater::InflateInto(ByteSource& package, std::int64_t packedSize, std::int64_t unpackedSize,
                                 const Room& room, const Filled& filled) {
  if (packedSize == 0 && unpackedSize == 0) return;
  const int reset = inflateReset(&stream_);
  if (reset != Z_OK) throw EDecompressionError::FromZlibCode(reset);

  std::int64_t unread = packedSize;
  std::int64_t produced = 0;
  stream_.avail_in = 0;
  for (;;) {
    if (stream_.avail_in == 0 && unread > 0) {
      // A package in memory (the setup program's own) is inflated where it lies.
      const std::span<const std::uint8_t> borrowed =
          package.Borrow(static_cast<std::size_t>(std::min(unread, kMostBorrowedBytes)));
      if (!borrowed.empty()) {
        stream_.next_in = const_cast<Bytef*>(borrowed.data());  // zlib only reads through it
        stream_.avail_in = static_cast<uInt>(borrowed.size());
      } else {
        const auto count = static_cast<std::size_t>(std::min<std::int64_t>(unread, kChunkBytes));
        package.ReadBuffer(in_.data(), count);
        stream_.next_in = in_.data();
        stream_.avail_in = static_cast<uInt>(count);
      }
      unread -= static_cast<std::int64_t>(stream_.avail_in);
    }
    // One byte of room beyond the bytes still due, so that a stream that goes on is caught by
    // its size. When all of the stream and room for all of its bytes are there, zlib is told it
    // is the last call: a stream that then ends needs no copy of its window.
    const std::int64_t due = unpackedSize - produced;
    const auto size = static_cast<std::size_t>(std::min<std::int64_t>(due + 1, kChunkBytes));
    std::uint8_t* out = room(size);
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(size);
    const bool last = unread == 0 && due < static_cast<std::int64_t>(size);
    const int code = inflate(&stream_, last ? Z_FINISH : Z_NO_FLUSH);
    const std::size_t got = size - stream_.avail_out;
    if (produced + static_cast<std::int64_t>(got) > unpackedSize) throw EDecompressionError::FromZlibCode(Z_BUF_ERROR);
    if (got != 0) filled(got);
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
