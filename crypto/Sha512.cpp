#include "crypto/Sha512.h"

#include <algorithm>
#include <cstring>

#include "crypto/Bytes.h"

namespace setup {
namespace {

// The first 64 bits of the fractional parts of the square roots of the first 8 primes.
// clang-format off
constexpr std::uint64_t kInitialHash[8] = {
    0x6A09E667F3BCC908, 0xBB67AE8584CAA73B,
    0x3C6EF372FE94F82B, 0xA54FF53A5F1D36F1,
    0x510E527FADE682D1, 0x9B05688C2B3E6C1F,
    0x1F83D9ABFB41BD6B, 0x5BE0CD19137E2179,
};

// The first 64 bits of the fractional parts of the cube roots of the first 80 primes.
constexpr std::uint64_t kK[80] = {
    0x428A2F98D728AE22, 0x7137449123EF65CD, 0xB5C0FBCFEC4D3B2F,
    0xE9B5DBA58189DBBC, 0x3956C25BF348B538, 0x59F111F1B605D019,
    0x923F82A4AF194F9B, 0xAB1C5ED5DA6D8118, 0xD807AA98A3030242,
    0x12835B0145706FBE, 0x243185BE4EE4B28C, 0x550C7DC3D5FFB4E2,
    0x72BE5D74F27B896F, 0x80DEB1FE3B1696B1, 0x9BDC06A725C71235,
    0xC19BF174CF692694, 0xE49B69C19EF14AD2, 0xEFBE4786384F25E3,
    0x0FC19DC68B8CD5B5, 0x240CA1CC77AC9C65, 0x2DE92C6F592B0275,
    0x4A7484AA6EA6E483, 0x5CB0A9DCBD41FBD4, 0x76F988DA831153B5,
    0x983E5152EE66DFAB, 0xA831C66D2DB43210, 0xB00327C898FB213F,
    0xBF597FC7BEEF0EE4, 0xC6E00BF33DA88FC2, 0xD5A79147930AA725,
    0x06CA6351E003826F, 0x142929670A0E6E70, 0x27B70A8546D22FFC,
    0x2E1B21385C26C926, 0x4D2C6DFC5AC42AED, 0x53380D139D95B3DF,
    0x650A73548BAF63DE, 0x766A0ABB3C77B2A8, 0x81C2C92E47EDAEE6,
    0x92722C851482353B, 0xA2BFE8A14CF10364, 0xA81A664BBC423001,
    0xC24B8B70D0F89791, 0xC76C51A30654BE30, 0xD192E819D6EF5218,
    0xD69906245565A910, 0xF40E35855771202A, 0x106AA07032BBD1B8,
    0x19A4C116B8D2D0C8, 0x1E376C085141AB53, 0x2748774CDF8EEB99,
    0x34B0BCB5E19B48A8, 0x391C0CB3C5C95A63, 0x4ED8AA4AE3418ACB,
    0x5B9CCA4F7763E373, 0x682E6FF3D6B2B8A3, 0x748F82EE5DEFB2FC,
    0x78A5636F43172F60, 0x84C87814A1F0AB72, 0x8CC702081A6439EC,
    0x90BEFFFA23631E28, 0xA4506CEBDE82BDE9, 0xBEF9A3F7B2C67915,
    0xC67178F2E372532B, 0xCA273ECEEA26619C, 0xD186B8C721C0C207,
    0xEADA7DD6CDE0EB1E, 0xF57D4F7FEE6ED178, 0x06F067AA72176FBA,
    0x0A637DC5A2C898A6, 0x113F9804BEF90DAE, 0x1B710B35131C471B,
    0x28DB77F523047D84, 0x32CAAB7B40C72493, 0x3C9EBE0A15C9BEBC,
    0x431D67C49C100D4C, 0x4CC5D4BECB3E42B6, 0x597F299CFC657E2A,
    0x5FCB6FAB3AD6FAEC, 0x6C44198C4A475817,
};
// clang-format on

}  // namespace

void TSha512Base::Compress(const std::uint8_t* block) {
  using bytes::Rotr64;
  std::uint64_t w[80];
  for (int t = 0; t < 16; ++t) w[t] = bytes::LoadBE64(block + 8 * t);
  for (int t = 16; t < 80; ++t) {
    const std::uint64_t s0 = Rotr64(w[t - 15], 1) ^ Rotr64(w[t - 15], 8) ^ (w[t - 15] >> 7);
    const std::uint64_t s1 = Rotr64(w[t - 2], 19) ^ Rotr64(w[t - 2], 61) ^ (w[t - 2] >> 6);
    w[t] = w[t - 16] + s0 + w[t - 7] + s1;
  }
  std::uint64_t v[8];
  std::copy(CurrentHash.begin(), CurrentHash.end(), v);
  for (int t = 0; t < 80; ++t) {
    const std::uint64_t sum1 = Rotr64(v[4], 14) ^ Rotr64(v[4], 18) ^ Rotr64(v[4], 41);
    const std::uint64_t choose = (v[4] & v[5]) ^ (~v[4] & v[6]);
    const std::uint64_t t1 = v[7] + sum1 + choose + kK[t] + w[t];
    const std::uint64_t sum0 = Rotr64(v[0], 28) ^ Rotr64(v[0], 34) ^ Rotr64(v[0], 39);
    const std::uint64_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
    const std::uint64_t t2 = sum0 + majority;
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

void TSha512Base::FinishBlocks() {
  RequireInitialized();
  PadForTail(0x80, 16);
  // The upper 64 bits of the 128-bit length stay zero.
  bytes::StoreBE32(HashBuffer.data() + 120, LenHi);
  bytes::StoreBE32(HashBuffer.data() + 124, LenLo);
  Compress(HashBuffer.data());
}

void TSha512Base::Burn() {
  CurrentHash.Wipe();
  TBlockHash<128>::Burn();
}

void TSha512::Init() {
  Burn();
  std::copy(std::begin(kInitialHash), std::end(kInitialHash), CurrentHash.begin());
  fInitialized = true;
}

void TSha512::Final(std::uint8_t* digest) {
  FinishBlocks();
  for (int i = 0; i < 8; ++i) bytes::StoreBE64(digest + 8 * i, CurrentHash[i]);
  Burn();
}

bool TSha512::SelfTest() {
  static constexpr std::uint8_t expectedStart[8] = {0xDD, 0xAF, 0x35, 0xA1, 0x93, 0x61, 0x7A, 0xBA};
  static constexpr std::uint8_t expectedEnd[8] = {0x2A, 0x9A, 0xC9, 0x4F, 0xA5, 0x4C, 0xA4, 0x9F};
  TSha512 hash;
  hash.Init();
  hash.UpdateStr(std::string_view("abc"));
  std::uint8_t digest[64];
  hash.Final(digest);
  return std::memcmp(digest, expectedStart, 8) == 0 && std::memcmp(digest + 56, expectedEnd, 8) == 0;
}

}  // namespace setup
