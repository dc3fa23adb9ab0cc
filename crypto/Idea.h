// IDEA: 64-bit blocks, a 128-bit key (shorter keys are zero-padded), eight rounds of
// multiplication modulo 2^16 + 1, addition modulo 2^16 and XOR.
#pragma once

#include <cstdint>

#include "crypto/BlockCipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

class TIdea final : public TBlockCipherFixed<12, u"IDEA", 64, 128> {
 public:
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;

 protected:
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;

 private:
  static constexpr int kRounds = 8;
  static constexpr std::size_t kSubkeys = 6 * kRounds + 4;
  static constexpr std::size_t kKeyBytes = 16;

  using Subkeys = SecureArray<std::uint16_t, kSubkeys>;
  static void Crypt(const Subkeys& keys, const std::uint8_t* inData, std::uint8_t* outData) noexcept;

  Subkeys encryptKeys_;
  Subkeys decryptKeys_;
};

}  // namespace setup
