#include "crypto/Cipher.h"

#include <vector>

#include "crypto/Base64.h"

namespace setup {
namespace {

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

void TCipher::Init(const std::uint8_t* /*key*/, std::uint32_t size, const std::uint8_t* /*initVector*/) {
  BeginInit(size);
}

void TCipher::BeginInit(std::uint32_t size) {
  if (fInitialized) Burn();
  const int maxSize = GetMaxKeySize();
  if (size == 0 || size % 4 != 0 || maxSize < 0 || size > static_cast<std::uint32_t>(maxSize)) {
    throw ECipher(u"Invalid key size");
  }
  fInitialized = true;
}

void TCipher::Encrypt(const std::uint8_t* /*inData*/, std::uint8_t* /*outData*/, std::size_t /*size*/) {}
void TCipher::Decrypt(const std::uint8_t* /*inData*/, std::uint8_t* /*outData*/, std::size_t /*size*/) {}

void TCipher::EncryptStringBytes(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  Encrypt(inData, outData, size);
}
void TCipher::DecryptStringBytes(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  Decrypt(inData, outData, size);
}

std::string TCipher::EncryptString(std::string_view plainText) {
  std::vector<std::uint8_t> bytes(plainText.begin(), plainText.end());
  EncryptStringBytes(bytes.data(), bytes.data(), bytes.size());
  return EncodeBase64(bytes.data(), bytes.size());
}

std::string TCipher::DecryptString(std::string_view base64Text) {
  std::vector<std::uint8_t> bytes = DecodeBase64(base64Text);
  DecryptStringBytes(bytes.data(), bytes.data(), bytes.size());
  return std::string(bytes.begin(), bytes.end());
}

std::u16string TCipher::EncryptString(std::u16string_view plainText) {
  std::vector<std::uint8_t> bytes = Utf16ToBytes(plainText);
  EncryptStringBytes(bytes.data(), bytes.data(), bytes.size());
  return Widen(EncodeBase64(bytes.data(), bytes.size()));
}

std::u16string TCipher::DecryptString(std::u16string_view base64Text) {
  std::vector<std::uint8_t> bytes = Utf16ToBytes(DecodeBase64Text(base64Text));
  DecryptStringBytes(bytes.data(), bytes.data(), bytes.size());
  return BytesToUtf16(bytes.data(), bytes.size());
}

}  // namespace setup
