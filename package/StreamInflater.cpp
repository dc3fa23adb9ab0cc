#include "package/StreamInflater.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "package/PackageErrors.h"

namespace setup {

namespace {

// The return codes whose texts a failed stream reports, as zlib numbers them.
constexpr int kNeedDictionary = 2;
constexpr int kDataError = -3;
constexpr int kBufferError = -5;

[[noreturn]] void Fail(int code) { throw EDecompressionError::FromZlibCode(code); }

// The most bytes borrowed at once.
constexpr std::int64_t kMostBorrowedBytes = std::int64_t{1} << 30;
constexpr std::size_t kWindowBytes = 32 * 1024;

// The stream's bits, least significant first, from the package: borrowed where the package is in
// memory, read a chunk at a time where it is a file. Running out is a truncated stream.
class BitReader {
 public:
  BitReader(ByteSource& package, std::int64_t size, std::vector<std::uint8_t>& buffer)
      : package_(package), unread_(size), buffer_(buffer) {}

  // At least `n` (at most 56) bits in hand.
  void Need(int n) {
    if (count_ >= n) return;
    if (CanFill()) {
      Fill();
      return;
    }
    while (count_ < n) {
      if (next_ == end_ && !Refill()) Fail(kDataError);
      bits_ |= std::uint64_t{*next_++} << count_;
      count_ += 8;
    }
  }
  // Whether the next Fill needs no bounds check: a word of input is at hand.
  bool CanFill() const noexcept { return end_ - next_ >= 8; }
  // At least 56 bits in hand, when CanFill: a length, a distance and their extra bits. The bits
  // read past the hand are the next bytes' own, so loading them again changes nothing.
  void Fill() noexcept {
    std::uint64_t word;
    std::memcpy(&word, next_, 8);  // little-endian, as every machine this runs on
    bits_ |= word << count_;
    next_ += (63 - count_) >> 3;
    count_ |= 56;
  }
  std::uint32_t Peek(int n) const noexcept { return static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << n) - 1)); }
  void Drop(int n) noexcept {
    bits_ >>= n;
    count_ -= n;
  }
  std::uint32_t Take(int n) {
    Need(n);
    const std::uint32_t value = Peek(n);
    Drop(n);
    return value;
  }
  void ToByteBoundary() noexcept { Drop(count_ & 7); }
  // Copies whole bytes (after ToByteBoundary): first those in hand, then straight from the input.
  void CopyBytes(std::uint8_t* out, std::size_t size) {
    while (size != 0 && count_ >= 8) {
      *out++ = static_cast<std::uint8_t>(bits_);
      Drop(8);
      --size;
    }
    if (size == 0) return;
    bits_ = 0;  // what was read ahead of the hand is read again from the input
    while (size != 0) {
      if (next_ == end_ && !Refill()) Fail(kDataError);
      const std::size_t n = std::min(size, static_cast<std::size_t>(end_ - next_));
      std::memcpy(out, next_, n);
      out += n;
      next_ += n;
      size -= n;
    }
  }

 private:
  bool Refill() {
    if (unread_ == 0) return false;
    const std::span<const std::uint8_t> borrowed =
        package_.Borrow(static_cast<std::size_t>(std::min(unread_, kMostBorrowedBytes)));
    if (!borrowed.empty()) {
      next_ = borrowed.data();
      end_ = next_ + borrowed.size();
    } else {
      const auto count = static_cast<std::size_t>(std::min(unread_, static_cast<std::int64_t>(buffer_.size())));
      package_.ReadBuffer(buffer_.data(), count);
      next_ = buffer_.data();
      end_ = next_ + count;
    }
    unread_ -= end_ - next_;
    return true;
  }

  ByteSource& package_;
  std::int64_t unread_;
  std::vector<std::uint8_t>& buffer_;
  const std::uint8_t* next_ = nullptr;
  const std::uint8_t* end_ = nullptr;
  std::uint64_t bits_ = 0;
  int count_ = 0;
};

// A canonical prefix code: codes of up to kFastBits bits are looked up in one step, longer ones
// are walked a bit at a time.
class PrefixCode {
 public:
  static constexpr int kMaxBits = 15;
  static constexpr int kFastBits = 10;

  // Builds the code from each symbol's code length (0: not used). A set of lengths that is
  // over-full, or short of complete, is a damaged stream; for the literal/length and distance
  // codes a set of one code of one bit, or of none, is allowed as the format allows.
  void Build(const std::uint8_t* lengths, int symbols, bool allowSparse) {
    std::array<int, kMaxBits + 1> count{};
    for (int s = 0; s < symbols; ++s) ++count[lengths[s]];
    count[0] = 0;
    int left = 1;
    int longest = 0;
    for (int bits = 1; bits <= kMaxBits; ++bits) {
      left = (left << 1) - count[bits];
      if (left < 0) Fail(kDataError);
      if (count[bits] != 0) longest = bits;
    }
    if (left > 0 && (!allowSparse || longest > 1)) Fail(kDataError);
    count_ = count;
    std::array<int, kMaxBits + 2> offset{};
    for (int bits = 1; bits <= kMaxBits; ++bits) offset[bits + 1] = offset[bits] + count[bits];
    for (int s = 0; s < symbols; ++s)
      if (lengths[s] != 0) symbol_[static_cast<std::size_t>(offset[lengths[s]]++)] = static_cast<std::uint16_t>(s);

    // The fast table, indexed by the next kFastBits bits of the stream (which holds codes most
    // significant bit first): each code of up to kFastBits bits fills every entry it begins.
    fast_.fill(0);
    int code = 0;
    int index = 0;
    for (int bits = 1; bits <= kFastBits; ++bits) {
      for (int k = 0; k < count[bits]; ++k, ++code, ++index) {
        const std::uint16_t entry = static_cast<std::uint16_t>((symbol_[static_cast<std::size_t>(index)] << 4) | bits);
        const unsigned reversed = Reverse(static_cast<unsigned>(code), bits);
        for (unsigned fill = reversed; fill < (1u << kFastBits); fill += 1u << bits) fast_[fill] = entry;
      }
      code <<= 1;
    }
  }

  int Decode(BitReader& in) const {
    in.Need(kMaxBits);
    return DecodeFilled(in);
  }
  // Decodes from bits already in hand (at least kMaxBits).
  int DecodeFilled(BitReader& in) const {
    const std::uint16_t entry = fast_[in.Peek(kFastBits)];
    if (entry != 0) {
      in.Drop(entry & 15);
      return entry >> 4;
    }
    // A longer code (or none): the canonical walk, one bit at a time.
    int code = 0;
    int first = 0;
    int index = 0;
    for (int bits = 1; bits <= kMaxBits; ++bits) {
      code |= static_cast<int>(in.Peek(bits) >> (bits - 1));
      const int count = count_[static_cast<std::size_t>(bits)];
      if (code - first < count) {
        in.Drop(bits);
        return symbol_[static_cast<std::size_t>(index + code - first)];
      }
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    Fail(kDataError);  // a code the set does not have
  }

 private:
  static unsigned Reverse(unsigned code, int bits) {
    unsigned reversed = 0;
    for (int i = 0; i < bits; ++i, code >>= 1) reversed = (reversed << 1) | (code & 1);
    return reversed;
  }

  std::array<std::uint16_t, 1u << kFastBits> fast_{};  // symbol << 4 | bits; 0 for none
  std::array<int, kMaxBits + 1> count_{};
  std::array<std::uint16_t, 288> symbol_{};
};

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                         33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

// The Adler-32 checksum of the inflated bytes.
class Adler32 {
 public:
  void Update(const std::uint8_t* data, std::size_t size) noexcept {
    constexpr std::uint32_t kModulus = 65521;
    constexpr std::size_t kMostBeforeModulus = 5552;  // the most bytes before the sums can overflow
    while (size != 0) {
      const std::size_t n = std::min(size, kMostBeforeModulus);
      for (std::size_t i = 0; i < n; ++i) {
        a_ += data[i];
        b_ += a_;
      }
      a_ %= kModulus;
      b_ %= kModulus;
      data += n;
      size -= n;
    }
  }
  std::uint32_t Value() const noexcept { return (b_ << 16) | a_; }

 private:
  std::uint32_t a_ = 1;
  std::uint32_t b_ = 0;
};

// Where the inflated bytes go: a room of the caller's when the whole file fits in one, else a
// window that keeps the last 32 KiB (the farthest a distance reaches) before a chunk of new
// bytes, handed out a chunk at a time. Either way every distance resolves in the one buffer.
class Output {
 public:
  Output(std::int64_t size, const StreamInflater::Room& room, const StreamInflater::Filled& filled,
         std::vector<std::uint8_t>& window)
      : due_(size), room_(room), filled_(filled) {
    if (size < static_cast<std::int64_t>(StreamInflater::kChunkBytes)) {
      direct_ = true;
      start_ = room(static_cast<std::size_t>(size) + 1);  // never 0 bytes
      end_ = start_ + size;
    } else {
      window.resize(kWindowBytes + StreamInflater::kChunkBytes);
      start_ = window.data();
      end_ = start_ + window.size();
    }
    next_ = fresh_ = start_;
  }

  // Room for `n` more bytes (at most 258): a stream that goes on past its size is a buffer error.
  std::uint8_t* Reserve(std::size_t n) {
    if (static_cast<std::int64_t>(n) > due_) Fail(kBufferError);
    if (static_cast<std::size_t>(end_ - next_) < n) Flush();
    return next_;
  }
  void Advance(std::size_t n) noexcept {
    next_ += n;
    due_ -= static_cast<std::int64_t>(n);
  }
  // Where the next byte goes, the first byte of the buffer, and the end of the stretch in which a
  // longest match and a word more fit without any check but the distance: empty near the end of
  // the buffer or of the file.
  std::uint8_t* Next() const noexcept { return next_; }
  const std::uint8_t* Start() const noexcept { return start_; }
  std::uint8_t* FastEnd() const noexcept {
    constexpr std::int64_t kSlack = 258 + 8;
    const std::int64_t room = std::min<std::int64_t>(end_ - next_, due_) - kSlack;
    return room > 0 ? next_ + room : next_;
  }
  // Whether `distance` reaches back no further than the bytes written.
  bool Reaches(std::size_t distance) const noexcept { return distance <= static_cast<std::size_t>(next_ - start_); }

  // Hands over what is not handed over yet; true when every byte due has been written.
  bool Finish() {
    Flush();
    return due_ == 0;
  }
  std::uint32_t Checksum() const noexcept { return adler_.Value(); }

 private:
  void Flush() {
    const auto n = static_cast<std::size_t>(next_ - fresh_);
    if (n != 0) {
      adler_.Update(fresh_, n);
      if (direct_) {
        filled_(n);
      } else {
        for (std::size_t done = 0; done < n;) {
          const std::size_t piece = std::min(n - done, StreamInflater::kChunkBytes);
          std::memcpy(room_(piece), fresh_ + done, piece);
          filled_(piece);
          done += piece;
        }
      }
    }
    if (!direct_ && static_cast<std::size_t>(next_ - start_) > kWindowBytes) {
      std::memmove(start_, next_ - kWindowBytes, kWindowBytes);
      next_ = start_ + kWindowBytes;
    }
    fresh_ = next_;
  }

  std::int64_t due_;
  const StreamInflater::Room& room_;
  const StreamInflater::Filled& filled_;
  bool direct_ = false;
  std::uint8_t* start_ = nullptr;
  std::uint8_t* end_ = nullptr;
  std::uint8_t* next_ = nullptr;
  std::uint8_t* fresh_ = nullptr;  // the first byte not handed over
  Adler32 adler_;
};

// The blocks of a deflate stream, into `out`.
class BlockDecoder {
 public:
  BlockDecoder(BitReader& in, Output& out) : in_(in), out_(out) {}

  void Run() {
    bool last = false;
    while (!last) {
      last = in_.Take(1) != 0;
      switch (in_.Take(2)) {
        case 0:
          Stored();
          break;
        case 1:
          FixedCodes();
          Codes();
          break;
        case 2:
          DynamicCodes();
          Codes();
          break;
        default:
          Fail(kDataError);
      }
    }
  }

 private:
  void Stored() {
    in_.ToByteBoundary();
    const std::uint32_t length = in_.Take(16);
    if ((length ^ 0xFFFF) != in_.Take(16)) Fail(kDataError);
    for (std::uint32_t left = length; left != 0;) {
      const std::uint32_t n = std::min<std::uint32_t>(left, 258);
      in_.CopyBytes(out_.Reserve(n), n);
      out_.Advance(n);
      left -= n;
    }
  }

  void FixedCodes() {
    // 32 distance codes, so the set is complete; the last two are not distances.
    std::array<std::uint8_t, 288 + 32> lengths{};
    std::fill(lengths.begin(), lengths.begin() + 144, 8);
    std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
    std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
    std::fill(lengths.begin() + 280, lengths.begin() + 288, 8);
    std::fill(lengths.begin() + 288, lengths.end(), 5);
    literals_.Build(lengths.data(), 288, true);
    distances_.Build(lengths.data() + 288, 32, true);
  }

  void DynamicCodes() {
    const int literalCount = static_cast<int>(in_.Take(5)) + 257;
    const int distanceCount = static_cast<int>(in_.Take(5)) + 1;
    const int codeLengthCount = static_cast<int>(in_.Take(4)) + 4;
    if (literalCount > 286 || distanceCount > 30) Fail(kDataError);
    std::array<std::uint8_t, 19> codeLengthLengths{};
    for (int i = 0; i < codeLengthCount; ++i)
      codeLengthLengths[kCodeLengthOrder[static_cast<std::size_t>(i)]] = static_cast<std::uint8_t>(in_.Take(3));
    PrefixCode codeLengths;
    codeLengths.Build(codeLengthLengths.data(), 19, false);

    std::array<std::uint8_t, 286 + 30> lengths{};
    const int total = literalCount + distanceCount;
    for (int i = 0; i < total;) {
      const int symbol = codeLengths.Decode(in_);
      if (symbol < 16) {
        lengths[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      std::uint8_t value = 0;
      int repeat = 0;
      if (symbol == 16) {
        if (i == 0) Fail(kDataError);  // nothing to repeat
        value = lengths[static_cast<std::size_t>(i - 1)];
        repeat = 3 + static_cast<int>(in_.Take(2));
      } else if (symbol == 17) {
        repeat = 3 + static_cast<int>(in_.Take(3));
      } else {
        repeat = 11 + static_cast<int>(in_.Take(7));
      }
      if (i + repeat > total) Fail(kDataError);
      std::fill_n(lengths.begin() + i, repeat, value);
      i += repeat;
    }
    if (lengths[256] == 0) Fail(kDataError);  // no end of block
    literals_.Build(lengths.data(), literalCount, true);
    distances_.Build(lengths.data() + literalCount, distanceCount, true);
  }

  // The length and distance that follow a length symbol. Each read asks for its bits, which costs
  // a comparison when they are already in hand.
  std::pair<std::size_t, std::size_t> DecodeMatch(int symbol) {
    const auto lengthIndex = static_cast<std::size_t>(symbol - 257);
    if (lengthIndex >= kLengthBase.size()) Fail(kDataError);
    const std::size_t length = kLengthBase[lengthIndex] + in_.Take(kLengthExtra[lengthIndex]);
    const auto distanceIndex = static_cast<std::size_t>(distances_.Decode(in_));
    if (distanceIndex >= kDistanceBase.size()) Fail(kDataError);
    const std::size_t distance = kDistanceBase[distanceIndex] + in_.Take(kDistanceExtra[distanceIndex]);
    return {length, distance};
  }

  // Most symbols: decoded with the output checked once per stretch instead of once per symbol.
  // Returns true at the end of the block.
  bool FastCodes() {
    std::uint8_t* const begin = out_.Next();
    std::uint8_t* const fastEnd = out_.FastEnd();
    const std::uint8_t* const start = out_.Start();
    std::uint8_t* to = begin;
    bool endOfBlock = false;
    while (to < fastEnd && in_.CanFill()) {
      in_.Fill();
      const int symbol = literals_.DecodeFilled(in_);
      if (symbol < 256) {
        *to++ = static_cast<std::uint8_t>(symbol);
        continue;
      }
      if (symbol == 256) {
        endOfBlock = true;
        break;
      }
      const auto [length, distance] = DecodeMatch(symbol);  // its bits are in hand after Fill
      if (distance > static_cast<std::size_t>(to - start)) Fail(kDataError);
      const std::uint8_t* from = to - distance;
      std::uint8_t* const matchEnd = to + length;
      if (distance >= 8) {
        // Eight bytes at a time; the last copy may run up to seven bytes on, into the slack.
        do {
          std::memcpy(to, from, 8);
          to += 8;
          from += 8;
        } while (to < matchEnd);
      } else {
        do {
          *to++ = *from++;
        } while (to < matchEnd);
      }
      to = matchEnd;
    }
    out_.Advance(static_cast<std::size_t>(to - begin));
    return endOfBlock;
  }

  void Codes() {
    for (;;) {
      if (FastCodes()) return;
      const int symbol = literals_.Decode(in_);
      if (symbol < 256) {
        *out_.Reserve(1) = static_cast<std::uint8_t>(symbol);
        out_.Advance(1);
        continue;
      }
      if (symbol == 256) return;
      const auto [length, distance] = DecodeMatch(symbol);
      std::uint8_t* to = out_.Reserve(length);
      if (!out_.Reaches(distance)) Fail(kDataError);
      const std::uint8_t* from = to - distance;
      for (std::size_t k = 0; k < length; ++k) to[k] = from[k];  // overlapping copies repeat
      out_.Advance(length);
    }
  }

  BitReader& in_;
  Output& out_;
  PrefixCode literals_;
  PrefixCode distances_;
};

}  // namespace

StreamInflater::StreamInflater(std::size_t readBytes) : in_(std::max<std::size_t>(readBytes, 1)), out_(kChunkBytes) {}

StreamInflater::~StreamInflater() = default;

void StreamInflater::Inflate(ByteSource& package, std::int64_t packedSize, std::int64_t unpackedSize,
                             const Sink& sink) {
  InflateInto(
      package, packedSize, unpackedSize, [this](std::size_t) { return out_.data(); },
      [this, &sink](std::size_t size) { sink(out_.data(), size); });
}

void StreamInflater::InflateInto(ByteSource& package, std::int64_t packedSize, std::int64_t unpackedSize,
                                 const Room& room, const Filled& filled) {
  if (packedSize == 0 && unpackedSize == 0) return;
  BitReader in(package, packedSize, in_);
  // The zlib header: deflate with a window of at most 32 KiB, a check that the pair is a multiple
  // of 31, and no preset dictionary (none is ever given).
  const std::uint32_t method = in.Take(8);
  const std::uint32_t flags = in.Take(8);
  if ((method & 15) != 8 || (method >> 4) > 7 || (method * 256 + flags) % 31 != 0) Fail(kDataError);
  if (flags & 0x20) Fail(kNeedDictionary);

  Output out(unpackedSize, room, filled, window_);
  BlockDecoder(in, out).Run();
  if (!out.Finish()) Fail(kDataError);  // ended short of its size
  in.ToByteBoundary();
  std::uint32_t checksum = 0;
  for (int i = 0; i < 4; ++i) checksum = (checksum << 8) | in.Take(8);
  if (checksum != out.Checksum()) Fail(kDataError);
}

}  // namespace setup
