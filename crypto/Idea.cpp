#include "crypto/Idea.h"

#include <algorithm>
#include <cstring>

namespace setup {
namespace {

// Multiplication modulo 2^16 + 1, where the word 0 stands for 2^16.
std::uint16_t Mul(std::uint16_t a, std::uint16_t b) noexcept {
  if (a == 0) return static_cast<std::uint16_t>(1 - b);  // 2^16 * b = -b (mod 2^16 + 1)
  if (b == 0) return static_cast<std::uint16_t>(1 - a);
  const std::uint32_t product = std::uint32_t{a} * b;
  const auto low = static_cast<std::uint16_t>(product);
  const auto high = static_cast<std::uint16_t>(product >> 16);
  // product = high * 2^16 + low = low - high (mod 2^16 + 1)
  return static_cast<std::uint16_t>(low - high + (low < high ? 1 : 0));
}

// The multiplicative inverse modulo 2^16 + 1 (a prime); 0 and 1 are their own inverses.
std::uint16_t MulInverse(std::uint16_t x) noexcept {
  if (x <= 1) return x;
  // x^(p-2) mod p by square and multiply, p = 65537.
  std::uint64_t result = 1;
  std::uint64_t base = x;
  for (std::uint32_t e = 65535; e != 0; e >>= 1) {
    if (e & 1) result = result * base % 65537;
    base = base * base % 65537;
  }
  return static_cast<std::uint16_t>(result);
}

std::uint16_t AddInverse(std::uint16_t x) noexcept { return static_cast<std::uint16_t>(0x10000 - x); }

std::uint16_t Load16(const std::uint8_t* p) noexcept { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }
void Store16(std::uint8_t* p, std::uint16_t v) noexcept {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}

}  // namespace

// Eight rounds, then the output transformation. Deciphering is the same with the inverted keys.
void TIdea::Crypt(const Subkeys& keys, const std::uint8_t* inData, std::uint8_t* outData) noexcept {
  std::uint16_t x1 = Load16(inData);
  std::uint16_t x2 = Load16(inData + 2);
  std::uint16_t x3 = Load16(inData + 4);
  std::uint16_t x4 = Load16(inData + 6);
  const std::uint16_t* k = keys.data();
  for (int round = 0; round < kRounds; ++round, k += 6) {
    const std::uint16_t a = Mul(x1, k[0]);
    const auto b = static_cast<std::uint16_t>(x2 + k[1]);
    const auto c = static_cast<std::uint16_t>(x3 + k[2]);
    const std::uint16_t d = Mul(x4, k[3]);
    std::uint16_t e = Mul(static_cast<std::uint16_t>(a ^ c), k[4]);
    const std::uint16_t f = Mul(static_cast<std::uint16_t>((b ^ d) + e), k[5]);
    e = static_cast<std::uint16_t>(e + f);
    x1 = static_cast<std::uint16_t>(a ^ f);
    x2 = static_cast<std::uint16_t>(c ^ f);  // the middle words change places
    x3 = static_cast<std::uint16_t>(b ^ e);
    x4 = static_cast<std::uint16_t>(d ^ e);
  }
  // The last round's exchange is undone here.
  Store16(outData, Mul(x1, k[0]));
  Store16(outData + 2, static_cast<std::uint16_t>(x3 + k[1]));
  Store16(outData + 4, static_cast<std::uint16_t>(x2 + k[2]));
  Store16(outData + 6, Mul(x4, k[3]));
}

void TIdea::EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  Crypt(encryptKeys_, inData, outData);
}

void TIdea::DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  Crypt(decryptKeys_, inData, outData);
}

void TIdea::ScheduleKey(const std::uint8_t* key, std::uint32_t size) {
  SecureArray<std::uint8_t, kKeyBytes> padded;
  std::copy_n(key, std::min<std::size_t>(size / 8, kKeyBytes), padded.begin());

  // The 128-bit key as eight words, then the key rotated left by 25 bits, eight words at a time.
  SecureArray<std::uint16_t, 8> window;
  for (std::size_t i = 0; i < 8; ++i) window[i] = Load16(&padded[2 * i]);
  for (std::size_t produced = 0; produced < kSubkeys;) {
    for (std::size_t i = 0; i < 8 && produced < kSubkeys; ++i) encryptKeys_[produced++] = window[i];
    // Rotating the 128 bits left by 25 = by one word (16) plus 9 bits.
    SecureArray<std::uint16_t, 8> rotated;
    for (std::size_t i = 0; i < 8; ++i) {
      const std::uint16_t high = window[(i + 1) % 8];
      const std::uint16_t low = window[(i + 2) % 8];
      rotated[i] = static_cast<std::uint16_t>(high << 9 | low >> 7);
    }
    std::copy(rotated.begin(), rotated.end(), window.begin());
  }

  // Deciphering runs the rounds backwards: inverted multiplier and adder keys, the adder keys of
  // the inner rounds exchanged as the encipher rounds exchange the middle words.
  const auto& ek = encryptKeys_;
  auto& dk = decryptKeys_;
  for (std::size_t round = 0; round <= kRounds; ++round) {
    const std::size_t from = 6 * (kRounds - round);  // the matching encipher key group
    const bool outer = round == 0 || round == kRounds;
    dk[6 * round] = MulInverse(ek[from]);
    dk[6 * round + 1] = AddInverse(ek[from + (outer ? 1 : 2)]);
    dk[6 * round + 2] = AddInverse(ek[from + (outer ? 2 : 1)]);
    dk[6 * round + 3] = MulInverse(ek[from + 3]);
    if (round < kRounds) {
      dk[6 * round + 4] = ek[from - 2];
      dk[6 * round + 5] = ek[from - 1];
    }
  }
}

void TIdea::Burn() {
  encryptKeys_.Wipe();
  decryptKeys_.Wipe();
  TBlockCipher::Burn();
}

bool TIdea::SelfTest() {
  // The example of the cipher's designers: key words 1..8, plain words 0..3.
  static constexpr std::uint8_t key[16] = {0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8};
  static constexpr std::uint8_t plain[8] = {0, 0, 0, 1, 0, 2, 0, 3};
  static constexpr std::uint8_t expected[8] = {0x11, 0xFB, 0xED, 0x2B, 0x01, 0x98, 0x6D, 0xE5};
  TIdea cipher;
  return KnownAnswerHolds(cipher, key, 128, plain, expected);
}

}  // namespace setup
