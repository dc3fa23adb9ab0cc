#include "crypto/Rc4.h"

#include <cstring>
#include <utility>

namespace setup {

void TRc4::Init(const std::uint8_t* key, std::uint32_t size, const std::uint8_t* /*initVector*/) {
  BeginInit(size);
  const std::size_t keyBytes = size / 8;
  // The schedule cycles over the key bytes, so it needs at least one.
  if (keyBytes == 0) {
    Burn();
    throw ECipher(u"Invalid key size");
  }
  for (std::size_t i = 0; i < 256; ++i) KeyData[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (std::size_t i = 0; i < 256; ++i) {
    j = static_cast<std::uint8_t>(j + KeyData[i] + key[i % keyBytes]);
    std::swap(KeyData[i], KeyData[j]);
  }
  std::memcpy(KeyOrg.data(), KeyData.data(), KeyData.size());
}

void TRc4::Burn() {
  KeyData.Wipe();
  KeyOrg.Wipe();
  TCipher::Burn();
}

void TRc4::Reset() {
  if (fInitialized) std::memcpy(KeyData.data(), KeyOrg.data(), KeyData.size());
}

void TRc4::Encrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  if (!fInitialized) throw ECipher(u"Cipher not initialized");
  std::uint8_t i = 0;
  std::uint8_t j = 0;
  for (std::size_t n = 0; n < size; ++n) {
    i = static_cast<std::uint8_t>(i + 1);
    j = static_cast<std::uint8_t>(j + KeyData[i]);
    std::swap(KeyData[i], KeyData[j]);
    const auto keystream = KeyData[static_cast<std::uint8_t>(KeyData[i] + KeyData[j])];
    outData[n] = static_cast<std::uint8_t>(inData[n] ^ keystream);
  }
}

void TRc4::Decrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  Encrypt(inData, outData, size);
}

bool TRc4::SelfTest() {
  // RFC 6229, key 0x0102030405: the first bytes of the keystream.
  static constexpr std::uint8_t key[5] = {0x01, 0x02, 0x03, 0x04, 0x05};
  static constexpr std::uint8_t expected[8] = {0xB2, 0x39, 0x63, 0x05, 0xF0, 0x3D, 0xC0, 0x27};
  TRc4 cipher;
  cipher.Init(key, 40);
  std::uint8_t stream[8] = {};
  cipher.Encrypt(stream, stream, sizeof(stream));
  return std::memcmp(stream, expected, sizeof(stream)) == 0;
}

}  // namespace setup
