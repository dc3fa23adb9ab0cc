#include "crypto/Rijndael.h"

#include <array>
#include <cstring>

#include "crypto/Bytes.h"

namespace setup {
namespace {

using bytes::ByteOf;
using bytes::Rotr32;

constexpr std::uint8_t Times2(std::uint8_t x) {
  return static_cast<std::uint8_t>(x << 1 ^ ((x & 0x80) != 0 ? 0x1B : 0));
}

constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
  std::uint8_t product = 0;
  for (; b != 0; b = static_cast<std::uint8_t>(b >> 1), a = Times2(a)) {
    if ((b & 1) != 0) product ^= a;
  }
  return product;
}

// The S-box: the multiplicative inverse in GF(2^8) followed by the affine map of FIPS 197 5.1.1.
// Inverses come from powers of the generator 3: inverse(3^k) = 3^(255 - k).
constexpr std::array<std::uint8_t, 256> MakeSBox() {
  std::array<std::uint8_t, 256> power{};
  std::array<std::uint8_t, 256> logarithm{};
  std::uint8_t value = 1;
  for (int k = 0; k < 255; ++k) {
    power[static_cast<std::size_t>(k)] = value;
    logarithm[value] = static_cast<std::uint8_t>(k);
    value = static_cast<std::uint8_t>(value ^ Times2(value));  // times 3
  }
  std::array<std::uint8_t, 256> box{};
  for (int x = 0; x < 256; ++x) {
    const std::uint8_t inverse =
        x == 0 ? 0 : power[static_cast<std::size_t>((255 - logarithm[static_cast<std::size_t>(x)]) % 255)];
    std::uint8_t s = inverse;
    for (int shift = 1; shift <= 4; ++shift) {
      s ^= static_cast<std::uint8_t>(inverse << shift | inverse >> (8 - shift));
    }
    box[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(s ^ 0x63);
  }
  return box;
}

constexpr std::array<std::uint8_t, 256> MakeInverse(const std::array<std::uint8_t, 256>& box) {
  std::array<std::uint8_t, 256> inverse{};
  for (int x = 0; x < 256; ++x) inverse[box[static_cast<std::size_t>(x)]] = static_cast<std::uint8_t>(x);
  return inverse;
}

constexpr std::uint32_t Word(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  return std::uint32_t{b0} << 24 | std::uint32_t{b1} << 16 | std::uint32_t{b2} << 8 | b3;
}

// One round's SubBytes and MixColumns for one input byte (encryption), or InvSubBytes and
// InvMixColumns (decryption), as a big-endian column word.
constexpr std::array<std::uint32_t, 256> MakeEncryptTable(const std::array<std::uint8_t, 256>& box) {
  std::array<std::uint32_t, 256> table{};
  for (std::size_t x = 0; x < 256; ++x) {
    const std::uint8_t s = box[x];
    table[x] = Word(Multiply(s, 2), s, s, Multiply(s, 3));
  }
  return table;
}
constexpr std::array<std::uint32_t, 256> MakeDecryptTable(const std::array<std::uint8_t, 256>& inverseBox) {
  std::array<std::uint32_t, 256> table{};
  for (std::size_t x = 0; x < 256; ++x) {
    const std::uint8_t s = inverseBox[x];
    table[x] = Word(Multiply(s, 14), Multiply(s, 9), Multiply(s, 13), Multiply(s, 11));
  }
  return table;
}

constexpr std::array<std::uint8_t, 256> kSBox = MakeSBox();
constexpr std::array<std::uint8_t, 256> kInverseSBox = MakeInverse(kSBox);
constexpr std::array<std::uint32_t, 256> kTe = MakeEncryptTable(kSBox);
constexpr std::array<std::uint32_t, 256> kTd = MakeDecryptTable(kInverseSBox);

static_assert(kSBox[0x00] == 0x63 && kSBox[0x53] == 0xED && kSBox[0xFF] == 0x16);

inline std::uint32_t Te(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return kTe[ByteOf(a, 3)] ^ Rotr32(kTe[ByteOf(b, 2)], 8) ^ Rotr32(kTe[ByteOf(c, 1)], 16) ^
         Rotr32(kTe[ByteOf(d, 0)], 24);
}
inline std::uint32_t Td(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return kTd[ByteOf(a, 3)] ^ Rotr32(kTd[ByteOf(b, 2)], 8) ^ Rotr32(kTd[ByteOf(c, 1)], 16) ^
         Rotr32(kTd[ByteOf(d, 0)], 24);
}
inline std::uint32_t SubWord(std::uint32_t w) {
  return Word(kSBox[ByteOf(w, 3)], kSBox[ByteOf(w, 2)], kSBox[ByteOf(w, 1)], kSBox[ByteOf(w, 0)]);
}
inline std::uint32_t LastRound(const std::array<std::uint8_t, 256>& box, std::uint32_t a, std::uint32_t b,
                               std::uint32_t c, std::uint32_t d) {
  return Word(box[ByteOf(a, 3)], box[ByteOf(b, 2)], box[ByteOf(c, 1)], box[ByteOf(d, 0)]);
}
// InvMixColumns of a round-key word: Td undoes the S-box it starts with.
inline std::uint32_t InverseMixColumn(std::uint32_t w) {
  const std::uint32_t s = SubWord(w);
  return Td(s, s, s, s);
}

}  // namespace

void TRijndael::ScheduleKey(const std::uint8_t* key, std::uint32_t size) {
  const std::size_t keyBytes = size / 8;
  SecureArray<std::uint8_t, 32> padded;
  std::memcpy(padded.data(), key, keyBytes);
  const int keyWords = keyBytes <= 16 ? 4 : keyBytes <= 24 ? 6 : 8;
  rounds_ = keyWords + 6;
  const int totalWords = 4 * (rounds_ + 1);
  for (int i = 0; i < keyWords; ++i) encryptKeys_[i] = bytes::LoadBE32(padded.data() + 4 * i);
  std::uint8_t roundConstant = 1;
  for (int i = keyWords; i < totalWords; ++i) {
    std::uint32_t temp = encryptKeys_[i - 1];
    if (i % keyWords == 0) {
      temp = SubWord(bytes::Rotl32(temp, 8)) ^ std::uint32_t{roundConstant} << 24;
      roundConstant = Times2(roundConstant);
    } else if (keyWords > 6 && i % keyWords == 4) {
      temp = SubWord(temp);
    }
    encryptKeys_[i] = encryptKeys_[i - keyWords] ^ temp;
  }
  // The equivalent inverse cipher (FIPS 197 5.3.5): round keys in reverse order, the inner ones
  // passed through InvMixColumns.
  for (int round = 0; round <= rounds_; ++round) {
    for (int k = 0; k < 4; ++k) {
      const std::uint32_t w = encryptKeys_[4 * (rounds_ - round) + k];
      decryptKeys_[4 * round + k] = round == 0 || round == rounds_ ? w : InverseMixColumn(w);
    }
  }
}

void TRijndael::EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  const std::uint32_t* rk = encryptKeys_.data();
  std::uint32_t s0 = bytes::LoadBE32(inData) ^ rk[0];
  std::uint32_t s1 = bytes::LoadBE32(inData + 4) ^ rk[1];
  std::uint32_t s2 = bytes::LoadBE32(inData + 8) ^ rk[2];
  std::uint32_t s3 = bytes::LoadBE32(inData + 12) ^ rk[3];
  for (int round = 1; round < rounds_; ++round) {
    rk += 4;
    const std::uint32_t t0 = Te(s0, s1, s2, s3) ^ rk[0];
    const std::uint32_t t1 = Te(s1, s2, s3, s0) ^ rk[1];
    const std::uint32_t t2 = Te(s2, s3, s0, s1) ^ rk[2];
    const std::uint32_t t3 = Te(s3, s0, s1, s2) ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk += 4;
  bytes::StoreBE32(outData, LastRound(kSBox, s0, s1, s2, s3) ^ rk[0]);
  bytes::StoreBE32(outData + 4, LastRound(kSBox, s1, s2, s3, s0) ^ rk[1]);
  bytes::StoreBE32(outData + 8, LastRound(kSBox, s2, s3, s0, s1) ^ rk[2]);
  bytes::StoreBE32(outData + 12, LastRound(kSBox, s3, s0, s1, s2) ^ rk[3]);
}

void TRijndael::DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  const std::uint32_t* rk = decryptKeys_.data();
  std::uint32_t s0 = bytes::LoadBE32(inData) ^ rk[0];
  std::uint32_t s1 = bytes::LoadBE32(inData + 4) ^ rk[1];
  std::uint32_t s2 = bytes::LoadBE32(inData + 8) ^ rk[2];
  std::uint32_t s3 = bytes::LoadBE32(inData + 12) ^ rk[3];
  for (int round = 1; round < rounds_; ++round) {
    rk += 4;
    const std::uint32_t t0 = Td(s0, s3, s2, s1) ^ rk[0];
    const std::uint32_t t1 = Td(s1, s0, s3, s2) ^ rk[1];
    const std::uint32_t t2 = Td(s2, s1, s0, s3) ^ rk[2];
    const std::uint32_t t3 = Td(s3, s2, s1, s0) ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk += 4;
  bytes::StoreBE32(outData, LastRound(kInverseSBox, s0, s3, s2, s1) ^ rk[0]);
  bytes::StoreBE32(outData + 4, LastRound(kInverseSBox, s1, s0, s3, s2) ^ rk[1]);
  bytes::StoreBE32(outData + 8, LastRound(kInverseSBox, s2, s1, s0, s3) ^ rk[2]);
  bytes::StoreBE32(outData + 12, LastRound(kInverseSBox, s3, s2, s1, s0) ^ rk[3]);
}

void TRijndael::Burn() {
  encryptKeys_.Wipe();
  decryptKeys_.Wipe();
  rounds_ = 0;
  TBlockCipher::Burn();
}

bool TRijndael::SelfTest() {
  // FIPS 197 appendix C.1.
  static constexpr std::uint8_t key[16] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                           0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
  static constexpr std::uint8_t plain[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                             0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  static constexpr std::uint8_t expected[16] = {0x69, 0xC4, 0xE0, 0xD8, 0x6A, 0x7B, 0x04, 0x30,
                                                0xD8, 0xCD, 0xB7, 0x80, 0x70, 0xB4, 0xC5, 0x5A};
  TRijndael cipher;
  return KnownAnswerHolds(cipher, key, 128, plain, expected);
}

}  // namespace setup
