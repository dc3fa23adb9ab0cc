// SHA-1 (FIPS 180-4): 160-bit digest.
#pragma once

#include "crypto/Hash.h"

namespace setup {

class TSha1 final : public TBlockHash<64> {
 public:
  static constexpr int kId = 2;
  static constexpr int kDigestBits = 160;

  ~TSha1() override { Burn(); }
  int GetId() const override { return kId; }
  std::u16string GetAlgorithm() const override { return u"SHA1"; }
  int GetHashSize() const override { return kDigestBits; }
  static bool SelfTest();

  void Init() override;
  void Final(std::uint8_t* digest) override;
  void Burn() override;

 protected:
  void Compress(const std::uint8_t* block) override;

 private:
  SecureArray<std::uint32_t, 5> CurrentHash;
};

}  // namespace setup
