// SHA-512 (FIPS 180-4): 1024-bit blocks of 64-bit words, 512-bit digest.
#pragma once

#include "crypto/Hash.h"

namespace setup {

// The SHA-512 block handling, shared by the members of the family that differ only in their
// initial state and digest length.
class TSha512Base : public TBlockHash<128> {
 public:
  void Burn() override;

 protected:
  void Compress(const std::uint8_t* block) override;
  // Pads with the 128-bit big-endian length and compresses the last block.
  void FinishBlocks();

  SecureArray<std::uint64_t, 8> CurrentHash;
};

class TSha512 final : public TSha512Base {
 public:
  static constexpr int kId = 30;
  static constexpr int kDigestBits = 512;

  ~TSha512() override { Burn(); }
  int GetId() const override { return kId; }
  std::u16string GetAlgorithm() const override { return u"SHA512"; }
  int GetHashSize() const override { return kDigestBits; }
  static bool SelfTest();

  void Init() override;
  void Final(std::uint8_t* digest) override;
};

}  // namespace setup
