// The package's inflater against zlib's inflate on the same bytes, a zlib stream (RFC 1950) as
// the package carries one per file. zlib says what the bytes are: a stream that inflates to
// certain bytes, or a bad one. Then, through every way the inflater reads its input and every
// way it hands out its output:
// - told the true size, it gives exactly zlib's bytes;
// - told one byte less, it refuses with "buffer error" (the stream goes on past its size) and
//   has handed over no byte beyond that size;
// - told one byte more, it refuses with "data error" (the stream ends short of its size);
// - a stream zlib refuses, it refuses at any size, with "need dictionary" where zlib asks for
//   one; and whatever it handed over before refusing is what zlib inflated up to there.
// The ways it reads: memory lent whole; memory lent a few bytes at a time (every refill lands
// inside a code, a header or a stored block); a source that lends nothing, as a file, read in
// refills of 1 byte, 13 bytes and 4 KiB. The ways it writes: Inflate into its own chunk, and
// InflateInto rooms of exactly the size asked for, so that a write past one is caught.
//
// Where the two may differ, by contract rather than by fault: a row of no bytes with an unpacked
// size of 0 is an empty file to the inflater (zlib calls no input a truncated stream), so empty
// inputs are not compared; and a bad stream's message is the inflater's own ("data error" where
// zlib's inflate, starved of input, says "buffer error"), so only the verdict is compared then.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/MemorySource.h"
#include "package/PackageErrors.h"
#include "package/StreamInflater.h"

namespace {

using setup::ByteSource;
using setup::StreamInflater;

// More than a chunk, so that the inflater's window (used from one chunk up) is reached too.
constexpr std::size_t kMostOutput = 3 * StreamInflater::kChunkBytes / 2;

struct Reference {
  enum class Verdict { kGood, kBad, kNeedDictionary, kTooLong };
  Verdict verdict = Verdict::kBad;
  std::string bytes;  // all of them when good; those inflated before the end otherwise
};

Reference InflateWithZlib(const std::uint8_t* data, std::size_t size) {
  Reference reference;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) std::abort();
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(size);
  std::vector<char> chunk(64 * 1024);
  for (;;) {
    stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
    stream.avail_out = static_cast<uInt>(chunk.size());
    const int code = inflate(&stream, Z_NO_FLUSH);
    reference.bytes.append(chunk.data(), chunk.size() - stream.avail_out);
    if (code == Z_STREAM_END) {
      reference.verdict = Reference::Verdict::kGood;
      break;
    }
    if (code == Z_NEED_DICT) {
      reference.verdict = Reference::Verdict::kNeedDictionary;
      break;
    }
    if (code != Z_OK) break;  // bad data, or no input left for the rest (Z_BUF_ERROR)
    if (reference.bytes.size() > kMostOutput) {
      reference.verdict = Reference::Verdict::kTooLong;
      break;
    }
  }
  inflateEnd(&stream);
  return reference;
}

// Memory that lends at most `most` bytes at a time.
class LendingSource final : public ByteSource {
 public:
  LendingSource(std::span<const std::byte> bytes, std::size_t most) : memory_(bytes), most_(most) {}
  std::size_t Read(void* buffer, std::size_t count) override { return memory_.Read(buffer, count); }
  std::span<const std::uint8_t> Borrow(std::size_t count) override { return memory_.Borrow(std::min(count, most_)); }
  std::int64_t Seek(std::int64_t offset, Origin origin) override { return memory_.Seek(offset, origin); }
  std::int64_t Size() override { return memory_.Size(); }

 private:
  setup::MemorySource memory_;
  std::size_t most_;
};

// Memory that lends nothing: read as a file is, through the inflater's own buffer.
class FileLikeSource final : public ByteSource {
 public:
  explicit FileLikeSource(std::span<const std::byte> bytes) : memory_(bytes) {}
  std::size_t Read(void* buffer, std::size_t count) override { return memory_.Read(buffer, count); }
  std::int64_t Seek(std::int64_t offset, Origin origin) override { return memory_.Seek(offset, origin); }
  std::int64_t Size() override { return memory_.Size(); }

 private:
  setup::MemorySource memory_;
};

struct Outcome {
  std::optional<std::u16string> failure;  // the message, when the inflater refused
  std::string bytes;                      // what it handed over
};

Outcome Run(StreamInflater& inflater, ByteSource& source, std::int64_t packed, std::int64_t unpacked, bool intoRooms) {
  Outcome outcome;
  try {
    if (intoRooms) {
      std::unique_ptr<std::uint8_t[]> room;
      std::size_t given = 0;
      inflater.InflateInto(
          source, packed, unpacked,
          [&](std::size_t size) {
            if (size == 0 || size > StreamInflater::kChunkBytes) std::abort();
            room = std::make_unique<std::uint8_t[]>(size);  // exactly: ASan sees a write past it
            given = size;
            return room.get();
          },
          [&](std::size_t size) {
            if (size == 0 || size > given) std::abort();
            outcome.bytes.append(reinterpret_cast<const char*>(room.get()), size);
          });
    } else {
      inflater.Inflate(source, packed, unpacked, [&](const std::uint8_t* data, std::size_t size) {
        if (size == 0 || size > StreamInflater::kChunkBytes) std::abort();
        outcome.bytes.append(reinterpret_cast<const char*>(data), size);
      });
    }
  } catch (const setup::EDecompressionError& error) {
    outcome.failure = error.Message();
  }
  if (outcome.bytes.size() > static_cast<std::size_t>(unpacked)) std::abort();  // past the file's size
  return outcome;
}

bool IsPrefix(const std::string& part, const std::string& whole) {
  return part.size() <= whole.size() && std::memcmp(part.data(), whole.data(), part.size()) == 0;
}

void Compare(const Reference& reference, const Outcome& outcome, std::int64_t unpacked) {
  if (!IsPrefix(outcome.bytes, reference.bytes)) std::abort();
  const auto trueSize = static_cast<std::int64_t>(reference.bytes.size());
  switch (reference.verdict) {
    case Reference::Verdict::kGood:
      if (unpacked == trueSize) {
        if (outcome.failure || outcome.bytes != reference.bytes) std::abort();
      } else if (unpacked < trueSize) {
        if (outcome.failure != u"buffer error") std::abort();
      } else {
        if (outcome.failure != u"data error") std::abort();
      }
      break;
    case Reference::Verdict::kNeedDictionary:
      if (outcome.failure != u"need dictionary") std::abort();
      break;
    case Reference::Verdict::kTooLong:
      // zlib went past the size without a fault, so the stream does not end there.
      if (outcome.failure != u"buffer error") std::abort();
      break;
    case Reference::Verdict::kBad:
      if (!outcome.failure) std::abort();
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Reference reference = InflateWithZlib(data, size);
  // The true size and its neighbours; for a bad stream, what zlib got to and its neighbours; for
  // one longer than this fuzzer inflates, the most it does.
  const auto reached = static_cast<std::int64_t>(reference.bytes.size());
  std::vector<std::int64_t> sizes = {reached, reached + 1};
  if (reached > 0) sizes.push_back(reached - 1);
  if (reference.verdict == Reference::Verdict::kTooLong) sizes = {static_cast<std::int64_t>(kMostOutput)};

  const auto bytes = std::as_bytes(std::span<const std::uint8_t>(data, size));
  const auto packed = static_cast<std::int64_t>(size);
  static StreamInflater wholeChunks;
  static StreamInflater oneByte(1);
  static StreamInflater thirteenBytes(13);
  static StreamInflater fourKiB(4096);
  for (const std::int64_t unpacked : sizes) {
    for (const bool intoRooms : {true, false}) {
      setup::MemorySource memory(bytes);
      Compare(reference, Run(wholeChunks, memory, packed, unpacked, intoRooms), unpacked);
      LendingSource lending(bytes, intoRooms ? 1 : 7);
      Compare(reference, Run(wholeChunks, lending, packed, unpacked, intoRooms), unpacked);
      FileLikeSource file(bytes);
      Compare(reference, Run(intoRooms ? oneByte : thirteenBytes, file, packed, unpacked, intoRooms), unpacked);
      FileLikeSource chunks(bytes);
      Compare(reference, Run(intoRooms ? fourKiB : wholeChunks, chunks, packed, unpacked, intoRooms), unpacked);
    }
  }
  return 0;
}
