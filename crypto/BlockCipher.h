// Block ciphers: the initial vector, the chaining register and every mode, written once.
//
// How a leaf cipher plugs in (see Blowfish.h for one):
//   class TMyCipher final : public TBlockCipherFixed<Id, u"MyCipher", BlockBits, MaxKeyBits> {
//    public:
//     static bool SelfTest();
//     void Burn() override;            // wipe the schedule, then TBlockCipher64::Burn()
//     void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;  // one block;
//     void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override;  // both start
//                                                                     // with RequireInitialized()
//    protected:
//     void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override;  // size in bits,
//                                       // already checked; read only size / 8 bytes of key
//    private:
//     SecureArray<std::uint32_t, N> schedule_;   // wiped by Burn and on destruction
//   };
// The base Init runs the key-size rule, ScheduleKey, sets IV (given, or E_K(0...0)) and CV.
// Every mode (CBC, 8-bit CFB, block CFB, OFB, CTR) and the string operations (8-bit CFB)
// come from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crypto/Cipher.h"
#include "crypto/SecureWipe.h"

namespace setup {

// "Cipher not initialized" from a block cipher's operations.
class EBlockCipher : public ECipher {
 public:
  using ECipher::ECipher;
};

enum TCipherMode : std::uint8_t { cmCBC = 0, cmCFB8bit = 1, cmCFBblock = 2, cmOFB = 3, cmCTR = 4 };

class TBlockCipher : public TCipher {
 public:
  static constexpr std::size_t kMaxBlockBytes = 16;

  TCipherMode fCipherMode = cmCBC;  // used only by the generic Encrypt / Decrypt

  virtual int GetBlockSize() const = 0;  // bits
  std::size_t BlockBytes() const noexcept { return blockBytes_; }
  TBlockCipher* AsBlockCipher() noexcept final { return this; }

  void Init(const std::uint8_t* key, std::uint32_t size, const std::uint8_t* initVector = nullptr) override;
  void Burn() override;   // IV and CV become 0xFF bytes
  void Reset() override;  // CV := IV

  // One block in, one block out; copy IV in (then Reset) / copy the current CV out.
  virtual void SetIV(const std::uint8_t* value);
  virtual void GetIV(std::uint8_t* value) const;

  // The bare block cipher on one block. Leaves implement these and begin with RequireInitialized().
  virtual void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) = 0;
  virtual void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) = 0;

  // The modes. inData and outData may be the same buffer. CBC, block CFB and OFB handle a final
  // partial block as a stream (the keystream of the next block, without chaining it). They are
  // the same for every cipher, around the virtual ECB functions: not virtual, so that no
  // cipher's table of virtual functions carries them.
  void EncryptCBC(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void DecryptCBC(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void EncryptCFB8bit(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void DecryptCFB8bit(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void EncryptCFBblock(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void DecryptCFBblock(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void EncryptOFB(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void DecryptOFB(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void EncryptCTR(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  void DecryptCTR(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);

  // Run the mode fCipherMode names.
  void Encrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) override;
  void Decrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) override;

 protected:
  explicit TBlockCipher(std::size_t blockBytes);

  // The string operations always use 8-bit CFB, whatever fCipherMode holds.
  void EncryptStringBytes(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) override;
  void DecryptStringBytes(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size) override;

  // The algorithm's key schedule; size (bits) has passed the key-size rule.
  virtual void ScheduleKey(const std::uint8_t* key, std::uint32_t size) = 0;

  // Raises EBlockCipher "Cipher not initialized" unless Init has run.
  void RequireInitialized() const;

  // The body of every block cipher's SelfTest: `plain` enciphers to `expected` under the key
  // and deciphers back. Both blocks are one block of this cipher long.
  static bool KnownAnswerHolds(TBlockCipher& cipher, const std::uint8_t* key, std::uint32_t keyBits,
                               const std::uint8_t* plain, const std::uint8_t* expected);

  SecureArray<std::uint8_t, kMaxBlockBytes> IV;
  SecureArray<std::uint8_t, kMaxBlockBytes> CV;

 private:
  std::size_t blockBytes_;
};

// A block size fixed at compile time: IV and CV use the first BlockBits / 8 bytes.
template <int BlockBits>
class TBlockCipherSized : public TBlockCipher {
  static_assert(BlockBits == 64 || BlockBits == 128, "the block is 8 or 16 bytes");

 public:
  static constexpr std::size_t kBlockBytes = BlockBits / 8;
  int GetBlockSize() const final { return BlockBits; }

 protected:
  TBlockCipherSized() : TBlockCipher(kBlockBytes) {}
};

using TBlockCipher64 = TBlockCipherSized<64>;
using TBlockCipher128 = TBlockCipherSized<128>;

// A block cipher's family base with its fixed facts: id, name, block size and largest key
// (bits; every multiple of 4 from 4 up to it is a valid key size).
template <int Id, TAlgorithmName Name, int BlockBits, int MaxKeyBits>
using TBlockCipherFixed = TCipherFacts<TBlockCipherSized<BlockBits>, Id, Name, MaxKeyBits>;

}  // namespace setup
