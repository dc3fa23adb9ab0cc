#include "crypto/Envelope.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "base/CodePage.h"
#include "crypto/BlockCipher.h"
#include "crypto/Random.h"
#include "crypto/SecureWipe.h"

namespace setup {
namespace {

constexpr std::size_t kSaltLength = 8;
constexpr std::size_t kHeaderLength = 10;
constexpr std::size_t kCipherSelector = 3;  // position 4, counted from 0
constexpr std::size_t kHashSelector = 4;    // position 5
constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kLastPrintable = 0x7E;

constexpr std::size_t kMaxDigestBytes = 64;

bool IsPrintableAscii(char16_t c) { return c >= kFirstPrintable && c <= kLastPrintable; }

// Holds the password-derived key while the cipher is set up; wiped when it goes.
struct DerivedKey {
  SecureArray<std::uint8_t, kMaxDigestBytes> digest;
  std::uint32_t bits = 0;
};

// The key: the first min(max key bits, digest bits) of the hash over the salt and password.
void DeriveKey(THash& hash, const TCipher& cipher, std::u16string_view salt, std::u16string_view password,
               DerivedKey& key) {
  hash.Init();
  hash.UpdateStr(salt.substr(0, kSaltLength));
  hash.UpdateStr(password);
  hash.Final(key.digest.data());
  key.bits = static_cast<std::uint32_t>(std::min(cipher.GetMaxKeySize(), hash.GetHashSize()));
}

std::u16string RandomPrintable(std::size_t length, const char16_t* lowest) {
  std::u16string text(length, u' ');
  SecureArray<std::uint8_t, 64> noise;
  for (std::size_t i = 0; i < length;) {
    FillSecureRandom(noise.data(), noise.size());
    for (std::size_t k = 0; k < noise.size() && i < length; ++k) {
      const char16_t low = lowest[i];
      const auto span = static_cast<unsigned>(kLastPrintable - low + 1);
      // Rejection keeps every character of the range equally likely.
      if (noise[k] >= 256 / span * span) continue;
      text[i] = static_cast<char16_t>(low + noise[k] % span);
      ++i;
    }
  }
  return text;
}

}  // namespace

std::u16string DecryptEnvelope(std::u16string_view envelope, std::u16string_view password) noexcept {
  if (envelope.size() < kHeaderLength + 1) return {};
  const int hashIndex = int{envelope[kHashSelector]} - int{envelope[9]};
  if (hashIndex < 0 || hashIndex >= kHashCount) return {};
  const int cipherIndex = int{envelope[kCipherSelector]} - int{envelope[8]};
  if (cipherIndex < 0 || cipherIndex >= kCipherCount) return {};
  try {
    // Declared in this order so the cipher is released before the hash.
    std::unique_ptr<THash> hash = CreateHashByIndex(hashIndex);
    std::unique_ptr<TCipher> cipher = CreateCipherByIndex(cipherIndex);
    if (!hash || !cipher) return {};
    DerivedKey key;
    DeriveKey(*hash, *cipher, envelope.substr(0, kSaltLength), password, key);

    std::size_t ivLength = 0;
    if (auto* blockCipher = cipher->AsBlockCipher()) {
      ivLength = blockCipher->BlockBytes();
      const std::string initVector = WideToAnsi(envelope.substr(kHeaderLength, ivLength));
      if (initVector.size() != ivLength) return {};
      blockCipher->Init(key.digest.data(), key.bits, reinterpret_cast<const std::uint8_t*>(initVector.data()));
    } else {
      cipher->Init(key.digest.data(), key.bits);
    }
    const std::size_t bodyStart = std::min(envelope.size(), kHeaderLength + ivLength);
    std::u16string plainText = cipher->DecryptString(envelope.substr(bodyStart));
    cipher->Burn();
    return plainText;
  } catch (...) {
    return {};
  }
}

std::u16string EncryptEnvelope(int hashIndex, int cipherIndex, std::u16string_view password,
                               std::u16string_view plainText, std::u16string_view salt,
                               std::u16string_view initVector) {
  if (hashIndex < 0 || hashIndex >= kHashCount || cipherIndex < 0 || cipherIndex >= kCipherCount) {
    throw ECipher(u"Invalid hash or cipher index");
  }
  std::unique_ptr<THash> hash = CreateHashByIndex(hashIndex);
  std::unique_ptr<TCipher> cipher = CreateCipherByIndex(cipherIndex);
  if (!cipher) throw ECipher(u"Cipher not available");

  if (salt.size() != kSaltLength || !std::all_of(salt.begin(), salt.end(), IsPrintableAscii) ||
      !IsPrintableAscii(static_cast<char16_t>(salt[kCipherSelector] - cipherIndex)) ||
      !IsPrintableAscii(static_cast<char16_t>(salt[kHashSelector] - hashIndex)) ||
      salt[kCipherSelector] < cipherIndex || salt[kHashSelector] < hashIndex) {
    throw ECipher(u"Invalid envelope salt");
  }
  auto* blockCipher = cipher->AsBlockCipher();
  const std::size_t ivLength = blockCipher ? blockCipher->BlockBytes() : 0;
  if (blockCipher &&
      (initVector.size() != ivLength || !std::all_of(initVector.begin(), initVector.end(), IsPrintableAscii))) {
    throw ECipher(u"Invalid initial vector");
  }

  DerivedKey key;
  DeriveKey(*hash, *cipher, salt, password, key);
  std::u16string envelope(salt);
  envelope += static_cast<char16_t>(salt[kCipherSelector] - cipherIndex);
  envelope += static_cast<char16_t>(salt[kHashSelector] - hashIndex);
  if (blockCipher) {
    std::uint8_t ivBytes[TBlockCipher::kMaxBlockBytes];
    for (std::size_t i = 0; i < ivLength; ++i) ivBytes[i] = static_cast<std::uint8_t>(initVector[i]);
    blockCipher->Init(key.digest.data(), key.bits, ivBytes);
    envelope += initVector;
  } else {
    cipher->Init(key.digest.data(), key.bits);
  }
  envelope += cipher->EncryptString(plainText);
  cipher->Burn();
  return envelope;
}

std::u16string EncryptEnvelope(int hashIndex, int cipherIndex, std::u16string_view password,
                               std::u16string_view plainText) {
  if (hashIndex < 0 || hashIndex >= kHashCount || cipherIndex < 0 || cipherIndex >= kCipherCount) {
    throw ECipher(u"Invalid hash or cipher index");
  }
  // Positions 4 and 5 must leave room for subtracting the indexes and staying printable.
  char16_t lowest[kSaltLength];
  std::fill(std::begin(lowest), std::end(lowest), kFirstPrintable);
  lowest[kCipherSelector] = static_cast<char16_t>(kFirstPrintable + cipherIndex);
  lowest[kHashSelector] = static_cast<char16_t>(kFirstPrintable + hashIndex);
  const std::u16string salt = RandomPrintable(kSaltLength, lowest);

  std::unique_ptr<TCipher> probe = CreateCipherByIndex(cipherIndex);
  const auto* blockCipher = probe ? probe->AsBlockCipher() : nullptr;
  const std::size_t ivLength = blockCipher ? blockCipher->BlockBytes() : 0;
  char16_t ivLowest[TBlockCipher::kMaxBlockBytes];
  std::fill(std::begin(ivLowest), std::end(ivLowest), kFirstPrintable);
  const std::u16string initVector = RandomPrintable(ivLength, ivLowest);
  return EncryptEnvelope(hashIndex, cipherIndex, password, plainText, salt, initVector);
}

}  // namespace setup
