// MD5 (RFC 1321): 128-bit digest.
#pragma once

#include "crypto/Hash.h"

namespace setup {

class TMd5 final : public TBlockHash<64> {
 public:
  static constexpr int kId = 16;
  static constexpr int kDigestBits = 128;

  ~TMd5() override { Burn(); }
  int GetId() const override { return kId; }
  std::u16string GetAlgorithm() const override { return u"MD5"; }
  int GetHashSize() const override { return kDigestBits; }
  static bool SelfTest();

  void Init() override;
  void Final(std::uint8_t* digest) override;
  void Burn() override;

 protected:
  void Compress(const std::uint8_t* block) override;

 private:
  SecureArray<std::uint32_t, 4> CurrentHash;
};

}  // namespace setup
