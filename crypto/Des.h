// DES (FIPS 46-3) and its triple form E(K1) D(K2) E(K3). The shared rounds live in
// DesRounds; parity bits of the key are ignored.
#pragma once

#include <cstdint>

#include "crypto/BlockCipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

// The key expansion and the rounds both ciphers share: key-independent, no state of its own.
class DesRounds {
 protected:
  static constexpr std::size_t kKeyBytes = 8;
  static constexpr int kRounds = 16;

  // The 16 round keys of one DES key, each as eight 6-bit S-box inputs.
  using RoundKeys = SecureArray<std::uint8_t, kRounds * 8>;

  // Expands eight key bytes (parity ignored).
  static void ExpandKey(const std::uint8_t* key, RoundKeys& out) noexcept;
  // One DES pass over a block, with the round keys in forward or reverse order.
  static void EncipherBlock(const RoundKeys& keys, const std::uint8_t* inData, std::uint8_t* outData) noexcept;
  static void DecipherBlock(const RoundKeys& keys, const std::uint8_t* inData, std::uint8_t* outData) noexcept;

  // The same on the two halves, between the initial and the final permutation.
  static void Crypt(const RoundKeys& keys, bool decipher, std::uint32_t& left, std::uint32_t& right) noexcept;
  static void InitialPermutation(const std::uint8_t* block, std::uint32_t& left, std::uint32_t& right) noexcept;
  static void FinalPermutation(std::uint32_t left, std::uint32_t right, std::uint8_t* block) noexcept;
};

class TDes final : public TBlockCipherFixed<23, u"DES", 64, 64>, private DesRounds {
 public:
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;

 protected:
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;

 private:
  RoundKeys keys_;
};

class T3Des final : public TBlockCipherFixed<24, u"3DES", 64, 192>, private DesRounds {
 public:
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;

 protected:
  // Up to 128 bits K3 = K1 (two-key EDE); above, K3 is bytes 17-24 of the zero-padded key.
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;

 private:
  static constexpr std::uint32_t kTwoKeyBits = 128;

  RoundKeys keys1_;
  RoundKeys keys2_;
  RoundKeys keys3_;
};

}  // namespace setup
