#include "crypto/Sha1.h"

#include <cstring>

#include "crypto/Bytes.h"

namespace setup {

void TSha1::Init() {
  Burn();
  CurrentHash[0] = 0x67452301;
  CurrentHash[1] = 0xEFCDAB89;
  CurrentHash[2] = 0x98BADCFE;
  CurrentHash[3] = 0x10325476;
  CurrentHash[4] = 0xC3D2E1F0;
  fInitialized = true;
}

void TSha1::Compress(const std::uint8_t* block) {
  using bytes::Rotl32;
  std::uint32_t w[80];
  for (int t = 0; t < 16; ++t) w[t] = bytes::LoadBE32(block + 4 * t);
  for (int t = 16; t < 80; ++t) w[t] = Rotl32(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
  std::uint32_t a = CurrentHash[0], b = CurrentHash[1], c = CurrentHash[2], d = CurrentHash[3], e = CurrentHash[4];
  for (int t = 0; t < 80; ++t) {
    std::uint32_t f = 0;
    std::uint32_t k = 0;
    if (t < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999;
    } else if (t < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1;
    } else if (t < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6;
    }
    const std::uint32_t temp = Rotl32(a, 5) + f + e + k + w[t];
    e = d;
    d = c;
    c = Rotl32(b, 30);
    b = a;
    a = temp;
  }
  CurrentHash[0] += a;
  CurrentHash[1] += b;
  CurrentHash[2] += c;
  CurrentHash[3] += d;
  CurrentHash[4] += e;
  SecureWipe(w, sizeof(w));
}

void TSha1::Final(std::uint8_t* digest) {
  RequireInitialized();
  PadForTail(0x80, 8);
  bytes::StoreBE32(HashBuffer.data() + 56, LenHi);
  bytes::StoreBE32(HashBuffer.data() + 60, LenLo);
  Compress(HashBuffer.data());
  for (int i = 0; i < 5; ++i) bytes::StoreBE32(digest + 4 * i, CurrentHash[i]);
  Burn();
}

void TSha1::Burn() {
  CurrentHash.Wipe();
  TBlockHash<64>::Burn();
}

bool TSha1::SelfTest() {
  static constexpr std::uint8_t expected[20] = {0xA9, 0x99, 0x3E, 0x36, 0x47, 0x06, 0x81, 0x6A, 0xBA, 0x3E,
                                                0x25, 0x71, 0x78, 0x50, 0xC2, 0x6C, 0x9C, 0xD0, 0xD8, 0x9D};
  TSha1 hash;
  hash.Init();
  hash.UpdateStr(std::string_view("abc"));
  std::uint8_t digest[20];
  hash.Final(digest);
  return std::memcmp(digest, expected, sizeof(digest)) == 0;
}

}  // namespace setup
