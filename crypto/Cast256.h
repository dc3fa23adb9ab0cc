// CAST-256 (RFC 2612): 128-bit blocks, keys of up to 32 bytes, zero-padded to 32.
#pragma once

#include <cstdint>

#include "crypto/BlockCipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

class TCast256 final : public TBlockCipherFixed<15, u"Cast256", 128, 256> {
 public:
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;

 protected:
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;

 private:
  static constexpr int kQuadRounds = 12;
  static constexpr std::size_t kKeyBytes = 32;

  // Four subkey pairs per quad-round.
  SecureArray<std::uint32_t, 4 * kQuadRounds> Km;  // masking subkeys
  SecureArray<std::uint8_t, 4 * kQuadRounds> Kr;   // rotation subkeys, 5 bits each
};

}  // namespace setup
