#include "crypto/Des.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "crypto/Bytes.h"

namespace setup {
namespace {

// Bit positions count from 1 at the most significant bit, as the standard numbers them.
// clang-format off
constexpr std::uint8_t kInitialPermutation[64] = {
    58, 50, 42, 34, 26, 18, 10, 2,
    60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6,
    64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17,  9, 1,
    59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5,
    63, 55, 47, 39, 31, 23, 15, 7,
};

constexpr std::uint8_t kRoundPermutation[32] = {
    16,  7, 20, 21, 29, 12, 28, 17,
     1, 15, 23, 26,  5, 18, 31, 10,
     2,  8, 24, 14, 32, 27,  3,  9,
    19, 13, 30,  6, 22, 11,  4, 25,
};

constexpr std::uint8_t kPermutedChoice1[56] = {
    57, 49, 41, 33, 25, 17,  9,
     1, 58, 50, 42, 34, 26, 18,
    10,  2, 59, 51, 43, 35, 27,
    19, 11,  3, 60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15,
     7, 62, 54, 46, 38, 30, 22,
    14,  6, 61, 53, 45, 37, 29,
    21, 13,  5, 28, 20, 12,  4,
};

constexpr std::uint8_t kPermutedChoice2[48] = {
    14, 17, 11, 24,  1,  5,
     3, 28, 15,  6, 21, 10,
    23, 19, 12,  4, 26,  8,
    16,  7, 27, 20, 13,  2,
    41, 52, 31, 37, 47, 55,
    30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53,
    46, 42, 50, 36, 29, 32,
};

constexpr std::uint8_t kKeyShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// S1..S8, each four rows of sixteen: the row is the outer two input bits, the column the middle four.
constexpr std::uint8_t kSBoxes[8][64] = {
  {14,  4, 13,  1,  2, 15, 11,  8,  3, 10,  6, 12,  5,  9,  0,  7,
    0, 15,  7,  4, 14,  2, 13,  1, 10,  6, 12, 11,  9,  5,  3,  8,
    4,  1, 14,  8, 13,  6,  2, 11, 15, 12,  9,  7,  3, 10,  5,  0,
   15, 12,  8,  2,  4,  9,  1,  7,  5, 11,  3, 14, 10,  0,  6, 13},
  {15,  1,  8, 14,  6, 11,  3,  4,  9,  7,  2, 13, 12,  0,  5, 10,
    3, 13,  4,  7, 15,  2,  8, 14, 12,  0,  1, 10,  6,  9, 11,  5,
    0, 14,  7, 11, 10,  4, 13,  1,  5,  8, 12,  6,  9,  3,  2, 15,
   13,  8, 10,  1,  3, 15,  4,  2, 11,  6,  7, 12,  0,  5, 14,  9},
  {10,  0,  9, 14,  6,  3, 15,  5,  1, 13, 12,  7, 11,  4,  2,  8,
   13,  7,  0,  9,  3,  4,  6, 10,  2,  8,  5, 14, 12, 11, 15,  1,
   13,  6,  4,  9,  8, 15,  3,  0, 11,  1,  2, 12,  5, 10, 14,  7,
    1, 10, 13,  0,  6,  9,  8,  7,  4, 15, 14,  3, 11,  5,  2, 12},
  { 7, 13, 14,  3,  0,  6,  9, 10,  1,  2,  8,  5, 11, 12,  4, 15,
   13,  8, 11,  5,  6, 15,  0,  3,  4,  7,  2, 12,  1, 10, 14,  9,
   10,  6,  9,  0, 12, 11,  7, 13, 15,  1,  3, 14,  5,  2,  8,  4,
    3, 15,  0,  6, 10,  1, 13,  8,  9,  4,  5, 11, 12,  7,  2, 14},
  { 2, 12,  4,  1,  7, 10, 11,  6,  8,  5,  3, 15, 13,  0, 14,  9,
   14, 11,  2, 12,  4,  7, 13,  1,  5,  0, 15, 10,  3,  9,  8,  6,
    4,  2,  1, 11, 10, 13,  7,  8, 15,  9, 12,  5,  6,  3,  0, 14,
   11,  8, 12,  7,  1, 14,  2, 13,  6, 15,  0,  9, 10,  4,  5,  3},
  {12,  1, 10, 15,  9,  2,  6,  8,  0, 13,  3,  4, 14,  7,  5, 11,
   10, 15,  4,  2,  7, 12,  9,  5,  6,  1, 13, 14,  0, 11,  3,  8,
    9, 14, 15,  5,  2,  8, 12,  3,  7,  0,  4, 10,  1, 13, 11,  6,
    4,  3,  2, 12,  9,  5, 15, 10, 11, 14,  1,  7,  6,  0,  8, 13},
  { 4, 11,  2, 14, 15,  0,  8, 13,  3, 12,  9,  7,  5, 10,  6,  1,
   13,  0, 11,  7,  4,  9,  1, 10, 14,  3,  5, 12,  2, 15,  8,  6,
    1,  4, 11, 13, 12,  3,  7, 14, 10, 15,  6,  8,  0,  5,  9,  2,
    6, 11, 13,  8,  1,  4, 10,  7,  9,  5,  0, 15, 14,  2,  3, 12},
  {13,  2,  8,  4,  6, 15, 11,  1, 10,  9,  3, 14,  5,  0, 12,  7,
    1, 15, 13,  8, 10,  3,  7,  4, 12,  5,  6, 11,  0, 14,  9,  2,
    7, 11,  4,  1,  9, 12, 14,  2,  0,  6, 10, 13, 15,  3,  5,  8,
    2,  1, 14,  7,  4, 10,  8, 13, 15, 12,  9,  0,  3,  5,  6, 11},
};
// clang-format on

// Bit p (from 1 at the top) of a word of the given width.
constexpr std::uint64_t BitAt(std::uint64_t v, int width, int p) noexcept { return v >> (width - p) & 1; }

// A 64-bit permutation as eight tables, one per input byte: the output is the OR of the
// eight looked-up words.
using ByteTables = std::array<std::array<std::uint64_t, 256>, 8>;

ByteTables MakePermutationTables(const std::array<std::uint8_t, 64>& from) {
  // Where each single input bit lands; every table entry is the OR of its bits' images.
  std::array<std::uint64_t, 64> image{};
  for (int i = 0; i < 64; ++i) image[from[i] - 1] |= std::uint64_t{1} << (63 - i);
  ByteTables tables{};
  for (int byte = 0; byte < 8; ++byte) {
    for (int value = 0; value < 256; ++value) {
      std::uint64_t output = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (value >> (7 - bit) & 1) output |= image[8 * byte + bit];
      }
      tables[byte][value] = output;
    }
  }
  return tables;
}

std::array<std::uint8_t, 64> InitialOrder() {
  std::array<std::uint8_t, 64> order{};
  for (int i = 0; i < 64; ++i) order[i] = kInitialPermutation[i];
  return order;
}

// The final permutation is the inverse of the initial one.
std::array<std::uint8_t, 64> FinalOrder() {
  std::array<std::uint8_t, 64> order{};
  for (int i = 0; i < 64; ++i) order[kInitialPermutation[i] - 1] = static_cast<std::uint8_t>(i + 1);
  return order;
}

// Each S-box merged with the round permutation P: the 6-bit input to the 32-bit contribution.
using SpTables = std::array<std::array<std::uint32_t, 64>, 8>;

SpTables MakeSpTables() {
  SpTables tables{};
  for (int box = 0; box < 8; ++box) {
    for (int input = 0; input < 64; ++input) {
      const int row = (input >> 4 & 2) | (input & 1);
      const int column = input >> 1 & 15;
      const std::uint32_t placed = static_cast<std::uint32_t>(kSBoxes[box][row * 16 + column]) << (28 - 4 * box);
      std::uint32_t permuted = 0;
      for (int i = 0; i < 32; ++i)
        permuted |= static_cast<std::uint32_t>(BitAt(placed, 32, kRoundPermutation[i])) << (31 - i);
      tables[box][input] = permuted;
    }
  }
  return tables;
}

// The lookup tables are 34 KB together, but a few thousand steps to compute: they are made at the
// first use instead of being carried in every Setup.exe. (A static object initialised by these
// functions would be evaluated by the compiler and stored whole, so the tables are filled in.)
struct Tables {
  ByteTables initialPermutation;
  ByteTables finalPermutation;
  SpTables sp;
};

const Tables& SharedTables() {
  static Tables tables{};
  [[maybe_unused]] static const bool made = [] {
    tables.initialPermutation = MakePermutationTables(InitialOrder());
    tables.finalPermutation = MakePermutationTables(FinalOrder());
    tables.sp = MakeSpTables();
    return true;
  }();
  return tables;
}

std::uint64_t Permute(const ByteTables& tables, std::uint64_t v) noexcept {
  std::uint64_t out = 0;
  for (int byte = 0; byte < 8; ++byte) out |= tables[byte][v >> (56 - 8 * byte) & 0xFF];
  return out;
}

// The cipher function f: expansion E as eight overlapping 6-bit windows of the rotated half,
// key addition, S-boxes and P.
std::uint32_t F(const SpTables& sp, std::uint32_t right, const std::uint8_t* roundKey) noexcept {
  std::uint32_t out = 0;
  for (int box = 0; box < 8; ++box) {
    const std::uint32_t window = bytes::Rotr32(right, (27 - 4 * box) & 31) & 0x3F;
    out |= sp[box][window ^ roundKey[box]];
  }
  return out;
}

constexpr std::uint32_t kMask28 = (1u << 28) - 1;

std::uint32_t Rotl28(std::uint32_t v, int n) noexcept { return (v << n | v >> (28 - n)) & kMask28; }

}  // namespace

void DesRounds::ExpandKey(const std::uint8_t* key, RoundKeys& out) noexcept {
  std::uint64_t keyBits = 0;
  for (std::size_t i = 0; i < kKeyBytes; ++i) keyBits = keyBits << 8 | key[i];

  std::uint64_t chosen = 0;  // PC1: 56 bits, C above D
  for (int i = 0; i < 56; ++i) chosen = chosen << 1 | BitAt(keyBits, 64, kPermutedChoice1[i]);
  auto c = static_cast<std::uint32_t>(chosen >> 28);
  auto d = static_cast<std::uint32_t>(chosen & kMask28);

  std::uint64_t cd = 0;
  for (int round = 0; round < kRounds; ++round) {
    c = Rotl28(c, kKeyShifts[round]);
    d = Rotl28(d, kKeyShifts[round]);
    cd = std::uint64_t{c} << 28 | d;
    for (int box = 0; box < 8; ++box) {
      std::uint8_t six = 0;
      for (int b = 0; b < 6; ++b)
        six = static_cast<std::uint8_t>(six << 1 | BitAt(cd, 56, kPermutedChoice2[6 * box + b]));
      out[static_cast<std::size_t>(round * 8 + box)] = six;
    }
  }
  SecureWipe(&keyBits, sizeof keyBits);
  SecureWipe(&chosen, sizeof chosen);
  SecureWipe(&c, sizeof c);
  SecureWipe(&d, sizeof d);
  SecureWipe(&cd, sizeof cd);
}

void DesRounds::InitialPermutation(const std::uint8_t* block, std::uint32_t& left, std::uint32_t& right) noexcept {
  const std::uint64_t permuted = Permute(SharedTables().initialPermutation, bytes::LoadBE64(block));
  left = static_cast<std::uint32_t>(permuted >> 32);
  right = static_cast<std::uint32_t>(permuted);
}

void DesRounds::FinalPermutation(std::uint32_t left, std::uint32_t right, std::uint8_t* block) noexcept {
  bytes::StoreBE64(block, Permute(SharedTables().finalPermutation, std::uint64_t{left} << 32 | right));
}

// Sixteen rounds and the swap that ends them, so passes chain without leaving the permuted form.
void DesRounds::Crypt(const RoundKeys& keys, bool decipher, std::uint32_t& left, std::uint32_t& right) noexcept {
  const SpTables& sp = SharedTables().sp;
  for (int round = 0; round < kRounds; ++round) {
    const int k = decipher ? kRounds - 1 - round : round;
    const std::uint32_t next = left ^ F(sp, right, keys.data() + 8 * k);
    left = right;
    right = next;
  }
  std::swap(left, right);
}

void DesRounds::EncipherBlock(const RoundKeys& keys, const std::uint8_t* inData, std::uint8_t* outData) noexcept {
  std::uint32_t left, right;
  InitialPermutation(inData, left, right);
  Crypt(keys, false, left, right);
  FinalPermutation(left, right, outData);
}

void DesRounds::DecipherBlock(const RoundKeys& keys, const std::uint8_t* inData, std::uint8_t* outData) noexcept {
  std::uint32_t left, right;
  InitialPermutation(inData, left, right);
  Crypt(keys, true, left, right);
  FinalPermutation(left, right, outData);
}

// --- DES ---

void TDes::ScheduleKey(const std::uint8_t* key, std::uint32_t size) {
  SecureArray<std::uint8_t, kKeyBytes> padded;
  std::copy_n(key, std::min<std::size_t>(size / 8, kKeyBytes), padded.begin());
  ExpandKey(padded.data(), keys_);
}

void TDes::EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  EncipherBlock(keys_, inData, outData);
}

void TDes::DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  DecipherBlock(keys_, inData, outData);
}

void TDes::Burn() {
  keys_.Wipe();
  TBlockCipher::Burn();
}

bool TDes::SelfTest() {
  // FIPS 81's example: "Now is t" under 0123456789ABCDEF.
  static constexpr std::uint8_t key[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  static constexpr std::uint8_t plain[8] = {0x4E, 0x6F, 0x77, 0x20, 0x69, 0x73, 0x20, 0x74};
  static constexpr std::uint8_t expected[8] = {0x3F, 0xA4, 0x0E, 0x8A, 0x98, 0x4D, 0x48, 0x15};
  TDes cipher;
  return KnownAnswerHolds(cipher, key, 64, plain, expected);
}

// --- Triple DES ---

void T3Des::ScheduleKey(const std::uint8_t* key, std::uint32_t size) {
  SecureArray<std::uint8_t, 3 * kKeyBytes> padded;
  std::copy_n(key, std::min<std::size_t>(size / 8, padded.size()), padded.begin());
  ExpandKey(padded.data(), keys1_);
  ExpandKey(padded.data() + kKeyBytes, keys2_);
  ExpandKey(padded.data() + (size > kTwoKeyBits ? 2 * kKeyBytes : 0), keys3_);
}

void T3Des::EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  std::uint32_t left, right;
  InitialPermutation(inData, left, right);
  Crypt(keys1_, false, left, right);
  Crypt(keys2_, true, left, right);
  Crypt(keys3_, false, left, right);
  FinalPermutation(left, right, outData);
}

void T3Des::DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  std::uint32_t left, right;
  InitialPermutation(inData, left, right);
  Crypt(keys3_, true, left, right);
  Crypt(keys2_, false, left, right);
  Crypt(keys1_, true, left, right);
  FinalPermutation(left, right, outData);
}

void T3Des::Burn() {
  keys1_.Wipe();
  keys2_.Wipe();
  keys3_.Wipe();
  TBlockCipher::Burn();
}

bool T3Des::SelfTest() {
  // NIST SP 800-67's example: three independent keys, "The qufck brown fox jump", first block.
  static constexpr std::uint8_t key[24] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x23, 0x45, 0x67, 0x89,
                                           0xAB, 0xCD, 0xEF, 0x01, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x01, 0x23};
  static constexpr std::uint8_t plain[8] = {'T', 'h', 'e', ' ', 'q', 'u', 'f', 'c'};
  static constexpr std::uint8_t expected[8] = {0xA8, 0x26, 0xFD, 0x8C, 0xE5, 0x3B, 0x85, 0x5F};
  T3Des cipher;
  return KnownAnswerHolds(cipher, key, 192, plain, expected);
}

}  // namespace setup
