#include "package/BlockDeflater.h"

#include <zlib.h>

#include <algorithm>

#include "base/FileStream.h"
#include "package/PackageErrors.h"

namespace setup {

namespace {

constexpr std::int64_t kWindowBytes = 32 * 1024;
constexpr int kRawDeflate = -15;  // window bits for raw data: the header and checksum are ours
constexpr int kMemoryLevel = 8;   // zlib's default

// Level 9 with a bounded match search: zlib's own level 9 follows hash chains up to 4,096 links,
// which on tables of short records costs a third more time than this for 0.05% of the size.
// (good length, lazy match, nice length, chain length), as deflateTune takes them.
constexpr int kBestGoodLength = 16;
constexpr int kBestLazyMatch = 128;
constexpr int kBestNiceLength = 258;
constexpr int kBestChainLength = 256;

// Text made of words compresses better when matches of up to five bytes are left as literals
// (zlib's filtered strategy): the install benchmark's text files by 2.5%. Tables, programs and
// compressed data do better with every match. So each block is compressed the way that suits a
// sample from its middle better, the sample primed with the 32 KiB before it as the block's own
// compression is; a block no larger than the sample is compressed both ways and the smaller
// stream is kept. The choice depends on the file's bytes alone. Smaller samples misjudge more
// often (the code tables of a short stream weigh more in it), larger ones cost more time.
constexpr std::int64_t kStrategySampleBytes = 8 * 1024;

// zlib's lazy-matching levels are the ones that honour the filtered strategy.
bool StrategyMatters(int level) { return level == Z_DEFAULT_COMPRESSION || level >= 4; }

class RawDeflater {
 public:
  RawDeflater(int level, int strategy) {
    const int code = deflateInit2(&stream_, level, Z_DEFLATED, kRawDeflate, kMemoryLevel, strategy);
    if (code != Z_OK) throw EDecompressionError::FromZlibCode(code);
    if (level == Z_BEST_COMPRESSION) {
      const int tuned = deflateTune(&stream_, kBestGoodLength, kBestLazyMatch, kBestNiceLength, kBestChainLength);
      if (tuned != Z_OK) throw EDecompressionError::FromZlibCode(tuned);
    }
  }
  ~RawDeflater() { deflateEnd(&stream_); }
  RawDeflater(const RawDeflater&) = delete;
  RawDeflater& operator=(const RawDeflater&) = delete;

  z_stream& Stream() noexcept { return stream_; }

 private:
  z_stream stream_{};
};

// Raw deflate data of input[primer, end), primed with input[0, primer); the last block of a
// file finishes the stream, any other ends with a sync flush.
std::vector<std::uint8_t> Deflate(const std::uint8_t* input, std::int64_t primer, std::int64_t size, bool last,
                                  int level, int strategy) {
  RawDeflater deflater(level, strategy);
  z_stream& stream = deflater.Stream();
  if (primer != 0) {
    const int code = deflateSetDictionary(&stream, input, static_cast<uInt>(primer));
    if (code != Z_OK) throw EDecompressionError::FromZlibCode(code);
  }
  std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(size)) + 16);
  stream.next_in = const_cast<Bytef*>(input + primer);
  stream.avail_in = static_cast<uInt>(size);
  std::size_t used = 0;
  for (;;) {
    stream.next_out = out.data() + used;
    stream.avail_out = static_cast<uInt>(out.size() - used);
    const int code = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    if (code == Z_STREAM_ERROR) throw EDecompressionError::FromZlibCode(code);
    used = out.size() - stream.avail_out;
    // A flush is complete when deflate leaves output room; the last block when the stream ends.
    if (last ? code == Z_STREAM_END : stream.avail_in == 0 && stream.avail_out != 0) break;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

std::vector<std::uint8_t> DeflateBestStrategy(const std::uint8_t* input, std::int64_t primer, std::int64_t size,
                                              bool last, int level) {
  if (!StrategyMatters(level)) return Deflate(input, primer, size, last, level, Z_DEFAULT_STRATEGY);
  if (size <= kStrategySampleBytes) {
    std::vector<std::uint8_t> every = Deflate(input, primer, size, last, level, Z_DEFAULT_STRATEGY);
    std::vector<std::uint8_t> filtered = Deflate(input, primer, size, last, level, Z_FILTERED);
    return filtered.size() < every.size() ? filtered : every;
  }
  const std::int64_t sampleAt = primer + (size - kStrategySampleBytes) / 2;
  const std::int64_t samplePrimer = std::min(sampleAt, kWindowBytes);
  const std::uint8_t* sample = input + sampleAt - samplePrimer;
  const bool filter = Deflate(sample, samplePrimer, kStrategySampleBytes, true, level, Z_FILTERED).size() <
                      Deflate(sample, samplePrimer, kStrategySampleBytes, true, level, Z_DEFAULT_STRATEGY).size();
  return Deflate(input, primer, size, last, level, filter ? Z_FILTERED : Z_DEFAULT_STRATEGY);
}

}  // namespace

std::int64_t DeflateBlockCount(std::int64_t fileSize) {
  return std::max<std::int64_t>(1, (fileSize + kDeflateBlockBytes - 1) / kDeflateBlockBytes);
}

std::array<std::uint8_t, 2> ZlibHeader(int level) {
  // The compression-level hint as zlib writes it, then the check bits that make the pair a
  // multiple of 31.
  const int effective = level == Z_DEFAULT_COMPRESSION ? 6 : level;
  const unsigned hint = effective < 2 ? 0 : effective < 6 ? 1 : effective == 6 ? 2 : 3;
  const unsigned method = 0x78;  // deflate with a 32 KiB window
  unsigned flags = hint << 6;
  flags += 31 - (method * 256 + flags) % 31;
  return {static_cast<std::uint8_t>(method), static_cast<std::uint8_t>(flags)};
}

DeflatedBlock DeflateBlock(const std::u16string& source, std::int64_t fileSize, std::int64_t index, int level) {
  const std::int64_t start = index * kDeflateBlockBytes;
  const std::int64_t end = std::min(fileSize, start + kDeflateBlockBytes);
  const std::int64_t primer = std::min(start, kWindowBytes);

  std::vector<std::uint8_t> input(static_cast<std::size_t>(primer + end - start));
  {
    FileStream file(source, FileStream::Mode::OpenRead);
    file.Seek(start - primer, FileStream::Origin::Begin);
    file.ReadBuffer(input.data(), input.size());
  }

  DeflatedBlock block;
  block.size = end - start;
  block.adler = static_cast<std::uint32_t>(adler32(1, input.data() + primer, static_cast<uInt>(block.size)));
  block.data = DeflateBestStrategy(input.data(), primer, block.size, end == fileSize, level);
  return block;
}

}  // namespace setup
