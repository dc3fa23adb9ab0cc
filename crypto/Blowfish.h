// Blowfish: 64-bit blocks, keys of 1 to 56 bytes.
#pragma once

#include <cstdint>

#include "crypto/BlockCipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

class TBlowfish final : public TBlockCipherFixed<5, u"Blowfish", 64, 448> {
 public:
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;

 protected:
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;

 private:
  static constexpr int kRounds = 16;

  std::uint32_t F(std::uint32_t x) const noexcept;
  void EncryptWords(std::uint32_t& left, std::uint32_t& right) const noexcept;

  SecureArray<std::uint32_t, kRounds + 2> P;
  SecureArray<std::uint32_t, 4 * 256> S;
};

}  // namespace setup
