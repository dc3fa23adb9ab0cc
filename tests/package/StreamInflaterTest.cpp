// The package's inflater against zlib's deflater: every kind of block zlib writes (stored, fixed,
// dynamic; every level and strategy; streams in pieces flushed with a preset window, as the packer
// writes large files), small files and files larger than a chunk, read from memory and from a
// file, come back byte for byte. Damaged streams fail with zlib's texts and never write past the
// file's size.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "base/FileStream.h"
#include "base/MemorySource.h"
#include "package/PackageErrors.h"
#include "package/StreamInflater.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

// Bytes of a kind: words (long matches), a small alphabet (many short codes), random (stored or
// near), runs (distance 1), and a mix.
std::string Sample(int kind, std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes;
  bytes.reserve(size);
  const char* words[] = {"alpha ", "beta ", "gamma ", "delta ", "setup ", "package ", "\n", "0123 "};
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
      case 3:
        bytes.append(1 + random() % 300, static_cast<char>(random() % 3));
        break;
      default:
        bytes += random() % 2 ? std::string(words[random() % 8])
                              : std::string(1 + random() % 5, static_cast<char>(random()));
    }
  }
  bytes.resize(size);
  return bytes;
}

// zlib's stream of data at a level and strategy, flushed every `flushEvery` bytes (0: once).
std::string Deflate(const std::string& data, int level, int strategy, std::size_t flushEvery = 0) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 64 + data.size() / 100, '\0');
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  std::size_t at = 0;
  do {
    const std::size_t n = flushEvery ? std::min(flushEvery, data.size() - at) : data.size() - at;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + at));
    stream.avail_in = static_cast<uInt>(n);
    at += n;
    const int flush = at == data.size() ? Z_FINISH : (at / flushEvery % 2 ? Z_FULL_FLUSH : Z_SYNC_FLUSH);
    const int code = deflate(&stream, flush);
    EXPECT_TRUE(code == Z_OK || code == Z_STREAM_END);
  } while (at < data.size());
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// Inflates `stream` (from memory or from a file) to a file of `size` bytes, in pieces checked
// against their room; returns the bytes or the failure's text.
std::string Inflate(StreamInflater& inflater, const std::string& stream, std::int64_t size, bool fromFile,
                    const TempFolder& folder) {
  std::string bytes;
  std::vector<std::uint8_t> room;
  std::size_t given = 0;
  const auto run = [&](ByteSource& source) {
    inflater.InflateInto(
        source, static_cast<std::int64_t>(stream.size()), size,
        [&](std::size_t n) {
          EXPECT_LE(n, StreamInflater::kChunkBytes);
          room.assign(n, 0xCD);
          given = n;
          return room.data();
        },
        [&](std::size_t n) {
          EXPECT_LE(n, given);
          bytes.append(reinterpret_cast<const char*>(room.data()), n);
        });
  };
  try {
    if (fromFile) {
      const fs::path path = folder.Path() / "stream.bin";
      WriteBytes(path, stream);
      FileStream file(path.u16string(), FileStream::Mode::OpenRead);
      run(file);
    } else {
      MemorySource memory(std::as_bytes(std::span<const char>(stream.data(), stream.size())));
      run(memory);
    }
  } catch (const EDecompressionError& error) {
    return "failed: " + ToUtf8(error.Message());
  }
  return bytes;
}

TEST(StreamInflater, InflatesWhatZlibDeflates) {
  TempFolder folder;
  StreamInflater inflater;
  const std::size_t sizes[] = {0,
                               1,
                               300,
                               70000,
                               StreamInflater::kChunkBytes - 1,
                               StreamInflater::kChunkBytes,
                               StreamInflater::kChunkBytes * 2 + 12345};
  const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
  int cases = 0;
  for (const std::size_t size : sizes) {
    for (int kind = 0; kind < 5; ++kind) {
      const std::string data = Sample(kind, size, static_cast<std::uint32_t>(size * 7 + kind));
      for (const int level : {0, 1, 6, 9}) {
        for (const int strategy : strategies) {
          if (level == 0 && strategy != Z_DEFAULT_STRATEGY) continue;  // stored whatever the strategy
          // Files of a chunk or more: the ways their blocks are coded once, not every mix.
          if (size > 70000 && (level == 1 || level == 9 || strategy == Z_FILTERED || strategy == Z_RLE)) continue;
          const std::string stream = Deflate(data, level, strategy);
          const bool fromFile = (cases++ % 2) != 0;
          ASSERT_TRUE(Inflate(inflater, stream, static_cast<std::int64_t>(size), fromFile, folder) == data)
              << "size " << size << " kind " << kind << " level " << level << " strategy " << strategy;
        }
      }
    }
  }
}

// The packer's large files: blocks flushed one after another, matches reaching into the block
// before, and the last 32 KiB of a chunk read back by the next one.
TEST(StreamInflater, InflatesFlushedBlocksAcrossChunks) {
  TempFolder folder;
  StreamInflater inflater;
  const std::string data = Sample(4, 3 * StreamInflater::kChunkBytes + 777, 99);
  for (const std::size_t every : {std::size_t{1000}, std::size_t{65536}, std::size_t{1} << 20}) {
    const std::string stream = Deflate(data, 9, Z_DEFAULT_STRATEGY, every);
    EXPECT_TRUE(Inflate(inflater, stream, static_cast<std::int64_t>(data.size()), false, folder) == data) << every;
    EXPECT_TRUE(Inflate(inflater, stream, static_cast<std::int64_t>(data.size()), true, folder) == data) << every;
  }
}

// A file read a few bytes at a time: refills land inside headers, codes, stored blocks and the
// checksum, and each must carry on where the last one stopped.
TEST(StreamInflater, ReadsAFileInSmallRefills) {
  TempFolder folder;
  const std::string data = Sample(4, 5000, 21);
  for (const std::size_t readBytes : {std::size_t{1}, std::size_t{3}, std::size_t{13}, std::size_t{4096}}) {
    StreamInflater inflater(readBytes);
    for (const auto& [level, strategy] : {std::pair{0, Z_DEFAULT_STRATEGY}, std::pair{9, Z_FIXED},
                                          std::pair{9, Z_DEFAULT_STRATEGY}, std::pair{1, Z_RLE}}) {
      const std::string stream = Deflate(data, level, strategy);
      EXPECT_TRUE(Inflate(inflater, stream, static_cast<std::int64_t>(data.size()), true, folder) == data)
          << "refills of " << readBytes << " level " << level << " strategy " << strategy;
      EXPECT_EQ(
          Inflate(inflater, stream.substr(0, stream.size() - 1), static_cast<std::int64_t>(data.size()), true, folder),
          "failed: data error")
          << "refills of " << readBytes << " level " << level << " strategy " << strategy;
    }
  }
}

std::string WithByte(std::string stream, std::size_t at, unsigned char value) {
  stream[at] = static_cast<char>(value);
  return stream;
}

TEST(StreamInflater, FailsOnDamagedStreams) {
  TempFolder folder;
  StreamInflater inflater;
  const std::string text = Sample(0, 5000, 1);
  const std::string good = Deflate(text, 6, Z_DEFAULT_STRATEGY);
  const std::string stored = Deflate("stored bytes", 0, Z_DEFAULT_STRATEGY);
  const auto size = static_cast<std::int64_t>(text.size());
  struct Case {
    const char* name;
    std::string stream;
    std::int64_t size;
    const char* result;
  };
  const Case cases[] = {
      {"header not deflate", WithByte(good, 0, 0x79), size, "failed: data error"},
      {"header check", WithByte(good, 1, static_cast<unsigned char>(good[1] + 1)), size, "failed: data error"},
      {"window above 32 KiB", std::string("\x88\x98") + good.substr(2), size, "failed: data error"},
      {"preset dictionary", std::string("\x78\xbb\x00\x00\x00\x01", 6), 0, "failed: need dictionary"},
      {"block type 3", std::string("\x78\x9c\x07\x00", 4), 1, "failed: data error"},
      {"stored length check", WithByte(stored, 5, static_cast<unsigned char>(stored[5] ^ 1)), 12, "failed: data error"},
      {"truncated", good.substr(0, good.size() / 2), size, "failed: data error"},
      {"checksum", WithByte(good, good.size() - 1, static_cast<unsigned char>(good.back() ^ 0x40)), size,
       "failed: data error"},
      {"shorter than its size", good, size + 1, "failed: data error"},
      {"longer than its size", good, size - 1, "failed: buffer error"},
      {"nothing for bytes", "", 10, "failed: data error"},
      // A fixed block whose first code is a match: there is nothing yet to copy from.
      {"distance before the start", std::string("\x78\x01\x03\x02\x00", 5), 3, "failed: data error"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Inflate(inflater, c.stream, c.size, false, folder), c.result) << c.name;
    EXPECT_EQ(Inflate(inflater, c.stream, c.size, true, folder), c.result) << c.name;
  }
}

// Every single-byte change of a few streams either fails with a text or inflates to bytes of
// the file's size; none writes past the room it was given (the sanitizers watch the rest).
TEST(StreamInflater, SurvivesEveryByteChanged) {
  TempFolder folder;
  StreamInflater inflater;
  for (int kind = 0; kind < 5; kind += 2) {
    const std::string data = Sample(kind, 2000, 5);
    const std::string stream = Deflate(data, 9, kind == 2 ? Z_FIXED : Z_DEFAULT_STRATEGY);
    for (std::size_t at = 0; at < stream.size(); ++at) {
      for (const int flip : {0x01, 0x80, 0xFF}) {
        const std::string result =
            Inflate(inflater, WithByte(stream, at, static_cast<unsigned char>(stream[at] ^ flip)), 2000, false, folder);
        EXPECT_TRUE(result.rfind("failed: ", 0) == 0 || result.size() == 2000) << at;
      }
    }
  }
}

}  // namespace
}  // namespace setup
