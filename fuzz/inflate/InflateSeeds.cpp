// Writes zlib streams (RFC 1950, as the package carries them) into the folder given on the
// command line, as seeds for the inflate fuzzer: every level 0-9, every strategy (default,
// filtered, Huffman only, RLE, fixed) and every window size 9-15, over samples of several kinds
// (words, a small alphabet, random bytes, long runs), so that every kind of block and code zlib
// writes is there to mutate. A few large outputs reach the inflater's window, and one stream asks
// for a preset dictionary. The samples come from a fixed seed: the same seeds every time.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Sample(int kind, std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  const char* words[] = {"alpha ", "beta ", "gamma ", "delta ", "setup ", "package ", "\n", "0123 "};
  std::string bytes;
  while (bytes.size() < size) {
    switch (kind) {
      case 0:
        bytes += words[random() % 8];
        break;
      case 1:
        bytes += static_cast<char>('a' + random() % 4);
        break;
      case 2:
        bytes += static_cast<char>(random());
        break;
      default:
        bytes.append(1 + random() % 300, static_cast<char>(random() % 3));
    }
  }
  bytes.resize(size);
  return bytes;
}

// One zlib stream of `data`; empty when zlib refuses the settings.
std::string Deflate(const std::string& data, int level, int strategy, int windowBits, const std::string& dictionary) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, strategy) != Z_OK) return {};
  if (!dictionary.empty()) {
    deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                         static_cast<uInt>(dictionary.size()));
  }
  // Stored blocks as small as a 512-byte window cost more headers than deflateBound counts.
  std::string out(2 * deflateBound(&stream, static_cast<uLong>(data.size())) + 1024, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int code = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return code == Z_STREAM_END ? out : std::string();
}

bool Write(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: inflate_fuzz_seeds <folder>\n", stderr);
    return 2;
  }
  const fs::path folder = argv[1];
  fs::create_directories(folder);
  const struct {
    int strategy;
    const char* name;
  } strategies[] = {{Z_DEFAULT_STRATEGY, "default"},
                    {Z_FILTERED, "filtered"},
                    {Z_HUFFMAN_ONLY, "huffman"},
                    {Z_RLE, "rle"},
                    {Z_FIXED, "fixed"}};
  const std::size_t sizes[] = {0, 1, 100, 700, 3000};
  int written = 0;
  std::uint32_t seed = 1;
  for (int level = 0; level <= 9; ++level) {
    for (const auto& strategy : strategies) {
      for (int windowBits = 9; windowBits <= 15; ++windowBits, ++seed) {
        const int kind = static_cast<int>(seed % 4);
        const std::string data = Sample(kind, sizes[seed % 5], seed);
        const std::string stream = Deflate(data, level, strategy.strategy, windowBits, "");
        if (stream.empty()) continue;
        const std::string name = "l" + std::to_string(level) + "_" + strategy.name + "_w" + std::to_string(windowBits) +
                                 "_k" + std::to_string(kind) + ".z";
        if (!Write(folder / name, stream)) return 1;
        ++written;
      }
    }
  }
  // Outputs beyond one chunk: the inflater keeps a window and hands the bytes out in chunks.
  // Long runs, so that the streams stay a few KiB and the fuzzer stays quick.
  for (const int level : {1, 6, 9}) {
    const std::string stream = Deflate(Sample(3, 300000, 77 + level), level, Z_DEFAULT_STRATEGY, 15, "");
    if (stream.empty() || !Write(folder / ("large_l" + std::to_string(level) + ".z"), stream)) return 1;
    ++written;
  }
  const std::string withDictionary = Deflate(Sample(0, 200, 5), 6, Z_DEFAULT_STRATEGY, 15, "alpha beta gamma");
  if (withDictionary.empty() || !Write(folder / "dictionary.z", withDictionary)) return 1;
  ++written;
  std::printf("%d seeds\n", written);
  return 0;
}
