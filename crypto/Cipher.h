// The cipher family root: key-size rule, life cycle and the UTF-16 string operations.
//
// Life cycle: a new cipher is uninitialised; Init checks the key size and sets the key up;
// a second Init burns first; Burn erases every key-dependent byte and leaves it uninitialised.
// Key schedules live in SecureArray members, so destruction wipes them too.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Errors.h"

namespace setup {

class TBlockCipher;

// "Invalid key size", "Cipher not initialized" and the like.
class ECipher : public Exception {
 public:
  using Exception::Exception;
};

class TCipher {
 public:
  TCipher() = default;  // uninitialised, which is what Burn leaves
  virtual ~TCipher() = default;
  TCipher(const TCipher&) = delete;
  TCipher& operator=(const TCipher&) = delete;

  // Class-level queries; the root answers -1, empty text and false.
  virtual int GetId() const { return -1; }
  virtual std::u16string GetAlgorithm() const { return {}; }
  virtual int GetMaxKeySize() const { return -1; }  // bits
  // Each algorithm hides this with its known-answer test; CipherSelfTest runs one by suite
  // index. Static, so a program that never tests (the setup program) carries none of them.
  static bool SelfTest() { return false; }

  // size is in bits: above 0, a multiple of 4 and at most GetMaxKeySize, else ECipher
  // "Invalid key size". Only the first size / 8 bytes of key are read. initVector, when not
  // null, holds one block (block ciphers; a stream cipher ignores it).
  virtual void Init(const std::uint8_t* key, std::uint32_t size, const std::uint8_t* initVector = nullptr);
  virtual void Burn() { fInitialized = false; }
  virtual void Reset() {}
  virtual void Encrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  virtual void Decrypt(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);

  // The string operations are the same for every cipher, around the virtual byte transform
  // below: they are not virtual, so a program carries only the ones it calls.
  // 8-bit text: the bytes are enciphered as they are, the result is Base64 text.
  std::string EncryptString(std::string_view plainText);
  std::string DecryptString(std::string_view base64Text);
  // UTF-16 text: code units as little-endian byte pairs, the result is Base64 text widened.
  std::u16string EncryptString(std::u16string_view plainText);
  std::u16string DecryptString(std::u16string_view base64Text);

  bool Initialized() const noexcept { return fInitialized; }

  // The same cipher as a block cipher, or null for a stream cipher. (The Windows programs are
  // built without run-time type information, so no dynamic_cast.)
  virtual TBlockCipher* AsBlockCipher() noexcept { return nullptr; }

 protected:
  // The common first step of every Init: burn when set up, check the size, mark initialised.
  void BeginInit(std::uint32_t size);

  // The byte transform the string operations use: Encrypt / Decrypt here, 8-bit CFB in
  // block ciphers.
  virtual void EncryptStringBytes(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);
  virtual void DecryptStringBytes(const std::uint8_t* inData, std::uint8_t* outData, std::size_t size);

  bool fInitialized = false;
};

// An algorithm's name as a template argument.
template <std::size_t N>
struct TAlgorithmName {
  char16_t text[N]{};
  constexpr TAlgorithmName(const char16_t (&name)[N]) { std::copy_n(name, N, text); }  // NOLINT: implicit by design
};

// The fixed facts of one algorithm (its id, name and largest key), answered once here for every
// leaf of a family instead of by overrides repeated in each leaf.
template <class Family, int Id, TAlgorithmName Name, int MaxKeyBits>
class TCipherFacts : public Family {
 public:
  int GetId() const final { return Id; }
  std::u16string GetAlgorithm() const final { return Name.text; }
  int GetMaxKeySize() const final { return MaxKeyBits; }
};

// A stream cipher's family base with its facts.
template <int Id, TAlgorithmName Name, int MaxKeyBits>
using TStreamCipherFixed = TCipherFacts<TCipher, Id, Name, MaxKeyBits>;

}  // namespace setup
