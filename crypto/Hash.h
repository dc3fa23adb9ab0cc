// The hash family root and the block buffering shared by the Merkle-Damgard hashes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Errors.h"
#include "crypto/SecureWipe.h"

namespace setup {

// "Hash not initialized".
class EHash : public Exception {
 public:
  using Exception::Exception;
};

class THash {
 public:
  THash() = default;
  virtual ~THash() = default;
  THash(const THash&) = delete;
  THash& operator=(const THash&) = delete;

  // Class-level queries; the root answers -1, empty text and false.
  virtual int GetId() const { return -1; }
  virtual std::u16string GetAlgorithm() const { return {}; }
  virtual int GetHashSize() const { return -1; }  // bits
  // Each algorithm hides this with its known-answer test; HashSelfTest runs one by suite
  // index. Static, so a program that never tests (the setup program) carries none of them.
  static bool SelfTest() { return false; }

  virtual void Init() {}
  // Pads, finishes, writes GetHashSize() / 8 bytes and burns.
  virtual void Final(std::uint8_t* /*digest*/) {}
  virtual void Burn() { fInitialized = false; }
  virtual void Update(const std::uint8_t* /*buffer*/, std::size_t /*size*/) {}

  void UpdateStr(std::string_view text);     // the bytes as they are
  void UpdateStr(std::u16string_view text);  // code units as little-endian byte pairs

  bool Initialized() const noexcept { return fInitialized; }

 protected:
  // Raises EHash "Hash not initialized" unless Init has run.
  void RequireInitialized() const;

  bool fInitialized = false;
};

// Block buffering and length counting for hashes that compress fixed blocks of BlockBytes.
template <std::size_t BlockBytes>
class TBlockHash : public THash {
 public:
  void Update(const std::uint8_t* buffer, std::size_t size) override;
  void Burn() override;

 protected:
  static constexpr std::size_t kBlockBytes = BlockBytes;

  virtual void Compress(const std::uint8_t* block) = 0;

  // Final padding: puts padByte at Index and leaves the buffer zero-filled after it, with
  // at least tailBytes free at the end of the block (compressing once more when needed).
  void PadForTail(std::uint8_t padByte, std::size_t tailBytes);
  // Message length in bits as two unsigned 32-bit halves.
  std::uint64_t LengthInBits() const noexcept { return std::uint64_t{LenHi} << 32 | LenLo; }

  std::uint32_t LenHi = 0;
  std::uint32_t LenLo = 0;
  std::size_t Index = 0;
  SecureArray<std::uint8_t, BlockBytes> HashBuffer;
};

extern template class TBlockHash<64>;
extern template class TBlockHash<128>;

}  // namespace setup
