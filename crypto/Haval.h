// HAVAL with 5 passes and a 256-bit fingerprint. The final padding byte is 0x80, not the
// 0x01 of the published algorithm: envelope keys made with this hash depend on it.
#pragma once

#include "crypto/Hash.h"

namespace setup {

class THaval : public TBlockHash<128> {
 public:
  static constexpr int kId = 14;
  static constexpr int kDigestBits = 256;

  ~THaval() override { Burn(); }
  int GetId() const override { return kId; }
  std::u16string GetAlgorithm() const override { return u"Haval (256bit, 5 passes)"; }
  int GetHashSize() const override { return kDigestBits; }
  static bool SelfTest();

  void Init() override;
  void Final(std::uint8_t* digest) override;
  void Burn() override;

 protected:
  void Compress(const std::uint8_t* block) override;
  // The byte that starts the final padding; the published algorithm uses 0x01.
  virtual std::uint8_t PaddingByte() const { return 0x80; }

 private:
  SecureArray<std::uint32_t, 8> CurrentHash;
};

}  // namespace setup
