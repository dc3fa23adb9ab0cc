// SHA-256 (FIPS 180-4): 256-bit digest.
#pragma once

#include "crypto/Hash.h"

namespace setup {

class TSha256 final : public TBlockHash<64> {
 public:
  static constexpr int kId = 28;
  static constexpr int kDigestBits = 256;

  ~TSha256() override { Burn(); }
  int GetId() const override { return kId; }
  std::u16string GetAlgorithm() const override { return u"SHA256"; }
  int GetHashSize() const override { return kDigestBits; }
  static bool SelfTest();

  void Init() override;
  void Final(std::uint8_t* digest) override;
  void Burn() override;

 protected:
  void Compress(const std::uint8_t* block) override;

 private:
  SecureArray<std::uint32_t, 8> CurrentHash;
};

}  // namespace setup
