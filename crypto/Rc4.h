// RC4: a stream cipher with keys of 1 to 256 bytes.
#pragma once

#include <cstdint>

#include "crypto/Cipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

class TRc4 final : public TStreamCipherFixed<19, u"RC4", 2048> {
 public:
  ~TRc4() override { Burn(); }
  static bool SelfTest();

  // Any initial vector is ignored.
  void Init(const std::uint8_t* key, std::uint32_t size, const std::uint8_t* initVector = nullptr) override;
  void Burn() override;
  void Reset() override;  // back to the permutation key setup left
  // The stream indices start at 0 on every call; the permutation carries over.
  void Encrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) override;
  void Decrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) override;

 private:
  SecureArray<std::uint8_t, 256> KeyData;
  SecureArray<std::uint8_t, 256> KeyOrg;
};

}  // namespace setup
