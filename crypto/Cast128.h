// CAST-128 (RFC 2144): 64-bit blocks, keys of up to 16 bytes, zero-padded; keys of 10 bytes
// or fewer run 12 rounds instead of 16.
#pragma once

#include <cstdint>

#include "crypto/BlockCipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

class TCast128 final : public TBlockCipherFixed<7, u"Cast128", 64, 128> {
 public:
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;

  // 12 or 16 once a key is set, 0 before.
  int Rounds() const noexcept { return rounds_; }

 protected:
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;

 private:
  static constexpr int kMaxRounds = 16;
  static constexpr std::size_t kKeyBytes = 16;

  std::uint32_t Round(int i, std::uint32_t data) const noexcept;

  SecureArray<std::uint32_t, kMaxRounds> Km;  // masking subkeys
  SecureArray<std::uint8_t, kMaxRounds> Kr;   // rotation subkeys, 5 bits each
  int rounds_ = 0;
};

}  // namespace setup
