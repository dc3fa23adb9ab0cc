#include "crypto/Sha256.h"

#include <algorithm>
#include <cstring>

#include "crypto/Bytes.h"

namespace setup {
namespace {

// The first 32 bits of the fractional parts of the square roots of the first 8 primes.
// clang-format off
constexpr std::uint32_t kInitialHash[8] = {
    0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
    0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19,
};

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
constexpr std::uint32_t kK[64] = {
    0x428A2F98, 0x71374491, 0xB5C0FBCF, 0xE9B5DBA5, 0x3956C25B, 0x59F111F1,
    0x923F82A4, 0xAB1C5ED5, 0xD807AA98, 0x12835B01, 0x243185BE, 0x550C7DC3,
    0x72BE5D74, 0x80DEB1FE, 0x9BDC06A7, 0xC19BF174, 0xE49B69C1, 0xEFBE4786,
    0x0FC19DC6, 0x240CA1CC, 0x2DE92C6F, 0x4A7484AA, 0x5CB0A9DC, 0x76F988DA,
    0x983E5152, 0xA831C66D, 0xB00327C8, 0xBF597FC7, 0xC6E00BF3, 0xD5A79147,
    0x06CA6351, 0x14292967, 0x27B70A85, 0x2E1B2138, 0x4D2C6DFC, 0x53380D13,
    0x650A7354, 0x766A0ABB, 0x81C2C92E, 0x92722C85, 0xA2BFE8A1, 0xA81A664B,
    0xC24B8B70, 0xC76C51A3, 0xD192E819, 0xD6990624, 0xF40E3585, 0x106AA070,
    0x19A4C116, 0x1E376C08, 0x2748774C, 0x34B0BCB5, 0x391C0CB3, 0x4ED8AA4A,
    0x5B9CCA4F, 0x682E6FF3, 0x748F82EE, 0x78A5636F, 0x84C87814, 0x8CC70208,
    0x90BEFFFA, 0xA4506CEB, 0xBEF9A3F7, 0xC67178F2,
};
// clang-format on

}  // namespace

void TSha256::Init() {
  Burn();
  std::copy(std::begin(kInitialHash), std::end(kInitialHash), CurrentHash.begin());
  fInitialized = true;
}

void TSha256::Compress(const std::uint8_t* block) {
  using bytes::Rotr32;
  std::uint32_t w[64];
  for (int t = 0; t < 16; ++t) w[t] = bytes::LoadBE32(block + 4 * t);
  for (int t = 16; t < 64; ++t) {
    const std::uint32_t s0 = Rotr32(w[t - 15], 7) ^ Rotr32(w[t - 15], 18) ^ (w[t - 15] >> 3);
    const std::uint32_t s1 = Rotr32(w[t - 2], 17) ^ Rotr32(w[t - 2], 19) ^ (w[t - 2] >> 10);
    w[t] = w[t - 16] + s0 + w[t - 7] + s1;
  }
  std::uint32_t v[8];
  std::copy(CurrentHash.begin(), CurrentHash.end(), v);
  for (int t = 0; t < 64; ++t) {
    const std::uint32_t sum1 = Rotr32(v[4], 6) ^ Rotr32(v[4], 11) ^ Rotr32(v[4], 25);
    const std::uint32_t choose = (v[4] & v[5]) ^ (~v[4] & v[6]);
    const std::uint32_t t1 = v[7] + sum1 + choose + kK[t] + w[t];
    const std::uint32_t sum0 = Rotr32(v[0], 2) ^ Rotr32(v[0], 13) ^ Rotr32(v[0], 22);
    const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
    const std::uint32_t t2 = sum0 + majority;
    v[7] = v[6];
    v[6] = v[5];
    v[5] = v[4];
    v[4] = v[3] + t1;
    v[3] = v[2];
    v[2] = v[1];
    v[1] = v[0];
    v[0] = t1 + t2;
  }
  for (int i = 0; i < 8; ++i) CurrentHash[i] += v[i];
  SecureWipe(w, sizeof(w));
  SecureWipe(v, sizeof(v));
}

void TSha256::Final(std::uint8_t* digest) {
  RequireInitialized();
  PadForTail(0x80, 8);
  bytes::StoreBE32(HashBuffer.data() + 56, LenHi);
  bytes::StoreBE32(HashBuffer.data() + 60, LenLo);
  Compress(HashBuffer.data());
  for (int i = 0; i < 8; ++i) bytes::StoreBE32(digest + 4 * i, CurrentHash[i]);
  Burn();
}

void TSha256::Burn() {
  CurrentHash.Wipe();
  TBlockHash<64>::Burn();
}

bool TSha256::SelfTest() {
  static constexpr std::uint8_t expected[32] = {0xBA, 0x78, 0x16, 0xBF, 0x8F, 0x01, 0xCF, 0xEA, 0x41, 0x41, 0x40,
                                                0xDE, 0x5D, 0xAE, 0x22, 0x23, 0xB0, 0x03, 0x61, 0xA3, 0x96, 0x17,
                                                0x7A, 0x9C, 0xB4, 0x10, 0xFF, 0x61, 0xF2, 0x00, 0x15, 0xAD};
  TSha256 hash;
  hash.Init();
  hash.UpdateStr(std::string_view("abc"));
  std::uint8_t digest[32];
  hash.Final(digest);
  return std::memcmp(digest, expected, sizeof(digest)) == 0;
}

}  // namespace setup
