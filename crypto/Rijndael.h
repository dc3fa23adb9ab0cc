// Rijndael with 128-bit blocks (AES, FIPS 197). Keys up to 256 bits are zero-padded to the
// next of 128, 192 or 256 bits.
#pragma once

#include <cstdint>

#include "crypto/BlockCipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

class TRijndael final : public TBlockCipherFixed<9, u"Rijndael", 128, 256> {
 public:
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;

  // 10, 12 or 14 once a key is set.
  int Rounds() const noexcept { return rounds_; }

 protected:
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;

 private:
  static constexpr int kMaxRounds = 14;

  int rounds_ = 0;
  SecureArray<std::uint32_t, 4 * (kMaxRounds + 1)> encryptKeys_;
  SecureArray<std::uint32_t, 4 * (kMaxRounds + 1)> decryptKeys_;  // for the equivalent inverse cipher
};

}  // namespace setup
