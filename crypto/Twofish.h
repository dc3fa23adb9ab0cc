// Twofish: 128-bit blocks, keys of 128, 192 or 256 bits; other sizes are zero-padded up to the
// next of these. The key-independent tables are built once per process, by the first
// instance constructed, and shared by every later one.
#pragma once

#include <cstdint>

#include "crypto/BlockCipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

class TTwofish final : public TBlockCipherFixed<6, u"Twofish", 128, 256> {
 public:
  TTwofish();

  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;

  // The process-wide tables: the byte permutations q0, q1 and the MDS matrix columns.
  struct Tables;

 protected:
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;

 private:
  static constexpr int kRounds = 16;
  static constexpr std::size_t kSubkeys = 8 + 2 * kRounds;

  std::uint32_t G0(std::uint32_t x) const noexcept;  // g with the key's S-boxes
  std::uint32_t G1(std::uint32_t x) const noexcept;  // g of x rotated left by 8

  const Tables& tables_;                   // not owned: the process-wide tables
  SecureArray<std::uint32_t, kSubkeys> K;  // whitening and round subkeys
  SecureArray<std::uint32_t, 4 * 256> S;   // key-dependent S-boxes merged with the MDS columns
};

}  // namespace setup
