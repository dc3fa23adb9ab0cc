#include "crypto/Twofish.h"

#include <algorithm>
#include <cstring>

#include "crypto/Bytes.h"

namespace setup {

struct TTwofish::Tables {
  std::uint8_t q[2][256];     // the fixed byte permutations q0 and q1
  std::uint32_t mds[4][256];  // column j of the MDS matrix times a byte, rows as the word's bytes
};

namespace {

using bytes::ByteOf;
using bytes::Rotl32;
using bytes::Rotr32;

// The 4-bit permutations t0..t3 from which q0 and q1 are built.
// clang-format off
constexpr std::uint8_t kQNibbles[2][4][16] = {
  {{0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
   {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
   {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
   {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA}},
  {{0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
   {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
   {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
   {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA}},
};

// The MDS matrix over GF(2^8) modulo x^8 + x^6 + x^5 + x^3 + 1.
constexpr std::uint8_t kMds[4][4] = {
    {0x01, 0xEF, 0x5B, 0x5B},
    {0x5B, 0xEF, 0xEF, 0x01},
    {0xEF, 0x5B, 0x01, 0xEF},
    {0xEF, 0x01, 0xEF, 0x5B},
};
constexpr unsigned kMdsPolynomial = 0x169;

// The Reed-Solomon matrix over GF(2^8) modulo x^8 + x^6 + x^3 + x^2 + 1, which derives the
// S-box key words from the key.
constexpr std::uint8_t kRs[4][8] = {
    {0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
    {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
    {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
    {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03},
};
constexpr unsigned kRsPolynomial = 0x14D;
// clang-format on

std::uint8_t GfMultiply(std::uint8_t a, std::uint8_t b, unsigned polynomial) noexcept {
  unsigned product = 0;
  unsigned shifted = a;
  for (unsigned bits = b; bits != 0; bits >>= 1) {
    if (bits & 1) product ^= shifted;
    shifted <<= 1;
    if (shifted & 0x100) shifted ^= polynomial;
  }
  return static_cast<std::uint8_t>(product);
}

std::uint8_t Ror4(std::uint8_t v) noexcept { return static_cast<std::uint8_t>((v >> 1 | v << 3) & 0xF); }

// q0 or q1 of one byte: two rounds of nibble mixing through the t tables.
std::uint8_t QPermute(int which, std::uint8_t x) noexcept {
  const auto& t = kQNibbles[which];
  std::uint8_t a = x >> 4;
  std::uint8_t b = x & 0xF;
  for (int half = 0; half < 2; ++half) {
    const auto mixedA = static_cast<std::uint8_t>(a ^ b);
    const auto mixedB = static_cast<std::uint8_t>((a ^ Ror4(b) ^ (a << 3)) & 0xF);
    a = t[2 * half][mixedA];
    b = t[2 * half + 1][mixedB];
  }
  return static_cast<std::uint8_t>(b << 4 | a);
}

TTwofish::Tables BuildTables() {
  TTwofish::Tables tables{};
  for (int x = 0; x < 256; ++x) {
    const auto byte = static_cast<std::uint8_t>(x);
    tables.q[0][x] = QPermute(0, byte);
    tables.q[1][x] = QPermute(1, byte);
    for (int column = 0; column < 4; ++column) {
      std::uint32_t word = 0;
      for (int row = 0; row < 4; ++row)
        word |= std::uint32_t{GfMultiply(kMds[row][column], byte, kMdsPolynomial)} << (8 * row);
      tables.mds[column][x] = word;
    }
  }
  return tables;
}

// Built on first use; a function-local static is initialised exactly once even when two
// threads construct the first instances at the same time.
const TTwofish::Tables& SharedTables() {
  static const TTwofish::Tables tables = BuildTables();
  return tables;
}

// Which q each byte position passes through at each stage of h, from the stage of the
// fourth key word (used only by 256-bit keys) down to the last stage before the MDS matrix.
// clang-format off
constexpr int kQOrder[5][4] = {
    {1, 0, 0, 1},  // before L3
    {1, 1, 0, 0},  // before L2
    {0, 1, 0, 1},  // before L1
    {0, 0, 1, 1},  // before L0
    {1, 0, 1, 0},  // after L0
};
// clang-format on

// Byte j of h(x, L) before the MDS matrix, for a list of keyWords words.
std::uint8_t HByte(const TTwofish::Tables& t, int j, std::uint8_t x, const std::uint32_t* list, int keyWords) noexcept {
  std::uint8_t y = x;
  for (int stage = 4 - keyWords; stage < 4; ++stage) {
    const int word = 3 - stage;  // stage 0 mixes in L3, stage 3 mixes in L0
    y = static_cast<std::uint8_t>(t.q[kQOrder[stage][j]][y] ^ ByteOf(list[word], j));
  }
  return t.q[kQOrder[4][j]][y];
}

std::uint32_t H(const TTwofish::Tables& t, std::uint32_t x, const std::uint32_t* list, int keyWords) noexcept {
  std::uint32_t z = 0;
  for (int j = 0; j < 4; ++j) z ^= t.mds[j][HByte(t, j, ByteOf(x, j), list, keyWords)];
  return z;
}

}  // namespace

TTwofish::TTwofish() : tables_(SharedTables()) {}

std::uint32_t TTwofish::G0(std::uint32_t x) const noexcept {
  return S[ByteOf(x, 0)] ^ S[256 + ByteOf(x, 1)] ^ S[512 + ByteOf(x, 2)] ^ S[768 + ByteOf(x, 3)];
}

std::uint32_t TTwofish::G1(std::uint32_t x) const noexcept {
  return S[ByteOf(x, 3)] ^ S[256 + ByteOf(x, 0)] ^ S[512 + ByteOf(x, 1)] ^ S[768 + ByteOf(x, 2)];
}

void TTwofish::EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  std::uint32_t r[4];
  for (int i = 0; i < 4; ++i) r[i] = bytes::LoadLE32(inData + 4 * i) ^ K[i];
  for (int round = 0; round < kRounds; ++round) {
    const std::uint32_t t0 = G0(r[0]);
    const std::uint32_t t1 = G1(r[1]);
    const std::uint32_t f0 = t0 + t1 + K[2 * round + 8];
    const std::uint32_t f1 = t0 + 2 * t1 + K[2 * round + 9];
    const std::uint32_t next2 = Rotr32(r[2] ^ f0, 1);
    const std::uint32_t next3 = Rotl32(r[3], 1) ^ f1;
    r[2] = r[0];
    r[3] = r[1];
    r[0] = next2;
    r[1] = next3;
  }
  // The last exchange of halves is undone by the order of the output whitening.
  for (int i = 0; i < 4; ++i) bytes::StoreLE32(outData + 4 * i, r[(i + 2) % 4] ^ K[4 + i]);
}

void TTwofish::DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  std::uint32_t r[4];
  for (int i = 0; i < 4; ++i) r[(i + 2) % 4] = bytes::LoadLE32(inData + 4 * i) ^ K[4 + i];
  for (int round = kRounds - 1; round >= 0; --round) {
    const std::uint32_t t0 = G0(r[2]);
    const std::uint32_t t1 = G1(r[3]);
    const std::uint32_t f0 = t0 + t1 + K[2 * round + 8];
    const std::uint32_t f1 = t0 + 2 * t1 + K[2 * round + 9];
    const std::uint32_t previous2 = Rotl32(r[0], 1) ^ f0;
    const std::uint32_t previous3 = Rotr32(r[1] ^ f1, 1);
    r[0] = r[2];
    r[1] = r[3];
    r[2] = previous2;
    r[3] = previous3;
  }
  for (int i = 0; i < 4; ++i) bytes::StoreLE32(outData + 4 * i, r[i] ^ K[i]);
}

void TTwofish::ScheduleKey(const std::uint8_t* key, std::uint32_t size) {
  // 128, 192 or 256 bits: two, three or four 64-bit halves of key material.
  const int halves = size <= 128 ? 2 : size <= 192 ? 3 : 4;
  SecureArray<std::uint8_t, 32> padded;
  std::copy_n(key, std::min<std::size_t>(size / 8, padded.size()), padded.begin());

  SecureArray<std::uint32_t, 4> even;     // Me: key words 0, 2, 4, 6
  SecureArray<std::uint32_t, 4> odd;      // Mo: key words 1, 3, 5, 7
  SecureArray<std::uint32_t, 4> sboxKey;  // S, in reverse order of derivation
  for (int i = 0; i < halves; ++i) {
    even[i] = bytes::LoadLE32(&padded[8 * i]);
    odd[i] = bytes::LoadLE32(&padded[8 * i + 4]);
    std::uint32_t word = 0;
    for (int row = 0; row < 4; ++row) {
      std::uint8_t sum = 0;
      for (int column = 0; column < 8; ++column)
        sum ^= GfMultiply(kRs[row][column], padded[8 * i + column], kRsPolynomial);
      word |= std::uint32_t{sum} << (8 * row);
    }
    sboxKey[halves - 1 - i] = word;
  }

  constexpr std::uint32_t kRho = 0x01010101;
  for (std::uint32_t i = 0; i < kSubkeys / 2; ++i) {
    const std::uint32_t a = H(tables_, 2 * i * kRho, even.data(), halves);
    const std::uint32_t b = Rotl32(H(tables_, (2 * i + 1) * kRho, odd.data(), halves), 8);
    K[2 * i] = a + b;
    K[2 * i + 1] = Rotl32(a + 2 * b, 9);
  }

  // The key-dependent S-boxes, each merged with its MDS column.
  for (int j = 0; j < 4; ++j) {
    for (int x = 0; x < 256; ++x) {
      const std::uint8_t y = HByte(tables_, j, static_cast<std::uint8_t>(x), sboxKey.data(), halves);
      S[static_cast<std::size_t>(256 * j + x)] = tables_.mds[j][y];
    }
  }
}

void TTwofish::Burn() {
  K.Wipe();
  S.Wipe();
  TBlockCipher::Burn();
}

bool TTwofish::SelfTest() {
  // The cipher's published vector for the all-zero 128-bit key and block.
  static constexpr std::uint8_t key[16] = {};
  static constexpr std::uint8_t plain[16] = {};
  static constexpr std::uint8_t expected[16] = {0x9F, 0x58, 0x9F, 0x5C, 0xF6, 0x12, 0x2C, 0x32,
                                                0xB6, 0xBF, 0xEC, 0x2F, 0x2A, 0xE8, 0xC3, 0x5A};
  TTwofish cipher;
  return KnownAnswerHolds(cipher, key, 128, plain, expected);
}

}  // namespace setup
