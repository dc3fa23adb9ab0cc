#include "crypto/BlockCipher.h"

#include <algorithm>
#include <cstring>

namespace setup {
namespace {

void XorBytes(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, std::size_t size) noexcept {
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(a[i] ^ b[i]);
}

// The counter block is one big-endian number.
void IncrementCounter(std::uint8_t* block, std::size_t size) noexcept {
  for (std::size_t i = size; i-- > 0;) {
    if (++block[i] != 0) break;
  }
}

}  // namespace

TBlockCipher::TBlockCipher(std::size_t blockBytes) : blockBytes_(blockBytes) {
  std::memset(IV.data(), 0xFF, IV.size());
  std::memset(CV.data(), 0xFF, CV.size());
}

void TBlockCipher::RequireInitialized() const {
  if (!fInitialized) throw EBlockCipher(u"Cipher not initialized");
}

void TBlockCipher::Init(const std::uint8_t* key, std::uint32_t size, const std::uint8_t* initVector) {
  BeginInit(size);
  try {
    ScheduleKey(key, size);
    if (initVector != nullptr) {
      std::memcpy(IV.data(), initVector, blockBytes_);
    } else {
      std::memset(IV.data(), 0, blockBytes_);
      EncryptECB(IV.data(), IV.data());
    }
    Reset();
  } catch (...) {
    Burn();
    throw;
  }
}

void TBlockCipher::Burn() {
  std::memset(IV.data(), 0xFF, IV.size());
  std::memset(CV.data(), 0xFF, CV.size());
  TCipher::Burn();
}

void TBlockCipher::Reset() {
  RequireInitialized();
  std::memcpy(CV.data(), IV.data(), blockBytes_);
}

void TBlockCipher::SetIV(const std::uint8_t* value) {
  RequireInitialized();
  std::memcpy(IV.data(), value, blockBytes_);
  Reset();
}

void TBlockCipher::GetIV(std::uint8_t* value) const {
  RequireInitialized();
  std::memcpy(value, CV.data(), blockBytes_);
}

void TBlockCipher::EncryptCFB8bit(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  RequireInitialized();
  const std::size_t last = blockBytes_ - 1;
  SecureArray<std::uint8_t, kMaxBlockBytes> keystream;
  for (std::size_t i = 0; i < size; ++i) {
    EncryptECB(CV.data(), keystream.data());
    const auto cipherByte = static_cast<std::uint8_t>(inData[i] ^ keystream[0]);
    std::memmove(CV.data(), CV.data() + 1, last);
    CV[last] = cipherByte;
    outData[i] = cipherByte;
  }
}

void TBlockCipher::DecryptCFB8bit(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  RequireInitialized();
  const std::size_t last = blockBytes_ - 1;
  SecureArray<std::uint8_t, kMaxBlockBytes> keystream;
  for (std::size_t i = 0; i < size; ++i) {
    EncryptECB(CV.data(), keystream.data());
    const std::uint8_t cipherByte = inData[i];  // read before writing: the buffers may be one
    std::memmove(CV.data(), CV.data() + 1, last);
    CV[last] = cipherByte;
    outData[i] = static_cast<std::uint8_t>(cipherByte ^ keystream[0]);
  }
}

void TBlockCipher::EncryptCBC(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  RequireInitialized();
  const std::size_t b = blockBytes_;
  std::size_t i = 0;
  for (; i + b <= size; i += b) {
    XorBytes(CV.data(), inData + i, CV.data(), b);
    EncryptECB(CV.data(), CV.data());
    std::memcpy(outData + i, CV.data(), b);
  }
  if (i < size) {
    SecureArray<std::uint8_t, kMaxBlockBytes> keystream;
    EncryptECB(CV.data(), keystream.data());
    XorBytes(inData + i, keystream.data(), outData + i, size - i);
  }
}

void TBlockCipher::DecryptCBC(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  RequireInitialized();
  const std::size_t b = blockBytes_;
  SecureArray<std::uint8_t, kMaxBlockBytes> cipherBlock;
  SecureArray<std::uint8_t, kMaxBlockBytes> plainBlock;
  std::size_t i = 0;
  for (; i + b <= size; i += b) {
    std::memcpy(cipherBlock.data(), inData + i, b);
    DecryptECB(cipherBlock.data(), plainBlock.data());
    XorBytes(plainBlock.data(), CV.data(), outData + i, b);
    std::memcpy(CV.data(), cipherBlock.data(), b);
  }
  if (i < size) {
    EncryptECB(CV.data(), plainBlock.data());
    XorBytes(inData + i, plainBlock.data(), outData + i, size - i);
  }
}

void TBlockCipher::EncryptCFBblock(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  RequireInitialized();
  const std::size_t b = blockBytes_;
  SecureArray<std::uint8_t, kMaxBlockBytes> keystream;
  std::size_t i = 0;
  for (; i + b <= size; i += b) {
    EncryptECB(CV.data(), keystream.data());
    XorBytes(inData + i, keystream.data(), outData + i, b);
    std::memcpy(CV.data(), outData + i, b);
  }
  if (i < size) {
    EncryptECB(CV.data(), keystream.data());
    XorBytes(inData + i, keystream.data(), outData + i, size - i);
  }
}

void TBlockCipher::DecryptCFBblock(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  RequireInitialized();
  const std::size_t b = blockBytes_;
  SecureArray<std::uint8_t, kMaxBlockBytes> keystream;
  std::size_t i = 0;
  for (; i + b <= size; i += b) {
    EncryptECB(CV.data(), keystream.data());
    std::memcpy(CV.data(), inData + i, b);
    XorBytes(CV.data(), keystream.data(), outData + i, b);
  }
  if (i < size) {
    EncryptECB(CV.data(), keystream.data());
    XorBytes(inData + i, keystream.data(), outData + i, size - i);
  }
}

void TBlockCipher::EncryptOFB(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  RequireInitialized();
  const std::size_t b = blockBytes_;
  for (std::size_t i = 0; i < size; i += b) {
    EncryptECB(CV.data(), CV.data());
    XorBytes(inData + i, CV.data(), outData + i, std::min(b, size - i));
  }
}

void TBlockCipher::DecryptOFB(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  EncryptOFB(inData, outData, size);
}

void TBlockCipher::EncryptCTR(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  RequireInitialized();
  const std::size_t b = blockBytes_;
  SecureArray<std::uint8_t, kMaxBlockBytes> keystream;
  for (std::size_t i = 0; i < size; i += b) {
    EncryptECB(CV.data(), keystream.data());
    IncrementCounter(CV.data(), b);
    XorBytes(inData + i, keystream.data(), outData + i, std::min(b, size - i));
  }
}

void TBlockCipher::DecryptCTR(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  EncryptCTR(inData, outData, size);
}

bool TBlockCipher::KnownAnswerHolds(TBlockCipher& cipher, const std::uint8_t* key, std::uint32_t keyBits,
                                    const std::uint8_t* plain, const std::uint8_t* expected) {
  const std::size_t bytes = cipher.blockBytes_;
  cipher.Init(key, keyBits);
  std::uint8_t block[kMaxBlockBytes];
  cipher.EncryptECB(plain, block);
  const bool enciphers = std::memcmp(block, expected, bytes) == 0;
  cipher.DecryptECB(block, block);
  return enciphers && std::memcmp(block, plain, bytes) == 0;
}

void TBlockCipher::Encrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  switch (fCipherMode) {
    case cmCBC:
      EncryptCBC(inData, outData, size);
      break;
    case cmCFB8bit:
      EncryptCFB8bit(inData, outData, size);
      break;
    case cmCFBblock:
      EncryptCFBblock(inData, outData, size);
      break;
    case cmOFB:
      EncryptOFB(inData, outData, size);
      break;
    case cmCTR:
      EncryptCTR(inData, outData, size);
      break;
  }
}

void TBlockCipher::Decrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  switch (fCipherMode) {
    case cmCBC:
      DecryptCBC(inData, outData, size);
      break;
    case cmCFB8bit:
      DecryptCFB8bit(inData, outData, size);
      break;
    case cmCFBblock:
      DecryptCFBblock(inData, outData, size);
      break;
    case cmOFB:
      DecryptOFB(inData, outData, size);
      break;
    case cmCTR:
      DecryptCTR(inData, outData, size);
      break;
  }
}

void TBlockCipher::EncryptStringBytes(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  EncryptCFB8bit(inData, outData, size);
}

void TBlockCipher::DecryptStringBytes(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) {
  DecryptCFB8bit(inData, outData, size);
}

}  // namespace setup
