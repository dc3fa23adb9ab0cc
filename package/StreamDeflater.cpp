#include "package/StreamDeflater.h"

#include <zlib.h>

#include <vector>

#include "base/FileStream.h"
#include "package/PackageErrors.h"

namespace setup {

namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;

class Deflater {
 public:
  explicit Deflater(int level) {
    const int code = deflateInit(&stream_, level);
    if (code != Z_OK) throw EDecompressionError::FromZlibCode(code);
  }
  ~Deflater() { deflateEnd(&stream_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  z_stream& Stream() noexcept { return stream_; }

 private:
  z_stream stream_{};
};

}  // namespace

DeflatedSizes DeflateFile(const std::u16string& source, const std::u16string& target, int level) {
  FileStream in(source, FileStream::Mode::OpenRead);
  FileStream out(target, FileStream::Mode::Create);
  Deflater deflater(level);
  z_stream& stream = deflater.Stream();
  std::vector<std::uint8_t> input(kChunkBytes);
  std::vector<std::uint8_t> output(kChunkBytes);

  DeflatedSizes sizes;
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    const std::size_t got = in.Read(input.data(), input.size());
    sizes.unpacked += static_cast<std::int64_t>(got);
    flush = got < input.size() ? Z_FINISH : Z_NO_FLUSH;
    stream.next_in = input.data();
    stream.avail_in = static_cast<uInt>(got);
    do {
      stream.next_out = output.data();
      stream.avail_out = static_cast<uInt>(output.size());
      const int code = deflate(&stream, flush);
      if (code == Z_STREAM_ERROR) throw EDecompressionError::FromZlibCode(code);
      const std::size_t produced = output.size() - stream.avail_out;
      out.WriteBuffer(output.data(), produced);
      sizes.packed += static_cast<std::int64_t>(produced);
    } while (stream.avail_out == 0);
  }
  return sizes;
}

}  // namespace setup
