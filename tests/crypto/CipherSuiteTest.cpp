// One conformance suite for every cipher of the suite, through the base interface.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "crypto/BlockCipher.h"
#include "crypto/Suite.h"

namespace setup {
namespace {

struct CipherFacts {
  int index;
  const char* name;
  int id;
  const char16_t* algorithm;
  int blockBits;  // 0: stream cipher
  int maxKeyBits;
};

const CipherFacts kCiphers[] = {
    {0, "Blowfish", 5, u"Blowfish", 64, 448}, {1, "Cast128", 7, u"Cast128", 64, 128},
    {2, "Cast256", 15, u"Cast256", 128, 256}, {3, "DES", 23, u"DES", 64, 64},
    {4, "TripleDES", 24, u"3DES", 64, 192},   {5, "Rijndael", 9, u"Rijndael", 128, 256},
    {6, "RC4", 19, u"RC4", 0, 2048},          {7, "Twofish", 6, u"Twofish", 128, 256},
    {8, "IDEA", 12, u"IDEA", 64, 128},
};

std::vector<std::uint8_t> Pattern(std::size_t size, int seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 131 + static_cast<std::size_t>(seed) * 7 + 1);
  return bytes;
}

class CipherConformance : public ::testing::TestWithParam<CipherFacts> {
 protected:
  void SetUp() override {
    cipher_ = CreateCipherByIndex(GetParam().index);
    if (!cipher_) GTEST_SKIP() << GetParam().name << " is not part of this build yet";
    block_ = dynamic_cast<TBlockCipher*>(cipher_.get());
    key_ = Pattern(256, 1);
  }
  std::size_t BlockBytes() const { return static_cast<std::size_t>(GetParam().blockBits / 8); }
  std::uint32_t MaxBits() const { return static_cast<std::uint32_t>(GetParam().maxKeyBits); }

  std::unique_ptr<TCipher> cipher_;
  TBlockCipher* block_ = nullptr;  // not owned: cipher_ seen as a block cipher
  std::vector<std::uint8_t> key_;
};

TEST_P(CipherConformance, AnswersItsClassQueries) {
  EXPECT_EQ(cipher_->GetId(), GetParam().id);
  EXPECT_EQ(cipher_->GetAlgorithm(), GetParam().algorithm);
  EXPECT_EQ(cipher_->GetMaxKeySize(), GetParam().maxKeyBits);
  EXPECT_EQ(block_ != nullptr, GetParam().blockBits != 0);
  if (block_) {
    EXPECT_EQ(block_->GetBlockSize(), GetParam().blockBits);
  }
  EXPECT_TRUE(cipher_->SelfTest());
}

TEST_P(CipherConformance, RejectsKeySizesOutsideTheRule) {
  for (std::uint32_t bits : {0u, 2u, 130u, MaxBits() + 4, MaxBits() + 8, 0xFFFFFFFCu}) {
    cipher_->Init(key_.data(), 64 <= MaxBits() ? 64 : MaxBits());
    try {
      cipher_->Init(key_.data(), bits);
      ADD_FAILURE() << bits << " bits accepted";
    } catch (const ECipher& e) {
      EXPECT_EQ(e.Message(), u"Invalid key size") << bits;
    }
    EXPECT_FALSE(cipher_->Initialized()) << bits;
  }
}

TEST_P(CipherConformance, AcceptsEverySizeFromOneByteToTheMaximum) {
  const auto plain = Pattern(40, 2);
  for (std::uint32_t bits = 8; bits <= MaxBits(); bits += 4) {
    cipher_->Init(key_.data(), bits);
    ASSERT_TRUE(cipher_->Initialized()) << bits;
    const std::u16string text = u"conformance";
    const std::u16string encrypted = cipher_->EncryptString(std::u16string_view(text));
    cipher_->Reset();
    ASSERT_EQ(cipher_->DecryptString(std::u16string_view(encrypted)), text) << bits;
  }
}

TEST_P(CipherConformance, ReadsOnlyTheWholeBytesOfTheSize) {
  // 12 bits read one byte: whatever follows it in the buffer makes no difference.
  auto other = key_;
  other[1] ^= 0xFF;
  cipher_->Init(key_.data(), 12);
  const std::u16string first = cipher_->EncryptString(std::u16string_view(u"twelve bits"));
  cipher_->Init(other.data(), 12);
  EXPECT_EQ(cipher_->EncryptString(std::u16string_view(u"twelve bits")), first);
  cipher_->Init(other.data(), 16);
  EXPECT_NE(cipher_->EncryptString(std::u16string_view(u"twelve bits")), first);
}

TEST_P(CipherConformance, RefusesToWorkWhenNotInitialized) {
  std::uint8_t data[16] = {};
  const auto expectRefusal = [&](auto&& operation, const char* what) {
    try {
      operation();
      ADD_FAILURE() << what << " ran uninitialised";
    } catch (const ECipher& e) {
      EXPECT_EQ(e.Message(), u"Cipher not initialized") << what;
      if (block_) {
        EXPECT_NE(dynamic_cast<const EBlockCipher*>(&e), nullptr) << what;
      }
    }
  };
  for (int round = 0; round < 2; ++round) {  // new, then burnt
    EXPECT_FALSE(cipher_->Initialized());
    expectRefusal([&] { cipher_->Encrypt(data, data, 16); }, "Encrypt");
    expectRefusal([&] { cipher_->Decrypt(data, data, 16); }, "Decrypt");
    if (block_) {
      expectRefusal([&] { block_->EncryptECB(data, data); }, "EncryptECB");
      expectRefusal([&] { block_->DecryptECB(data, data); }, "DecryptECB");
      expectRefusal([&] { block_->Reset(); }, "Reset");
      expectRefusal([&] { block_->SetIV(data); }, "SetIV");
      expectRefusal([&] { block_->GetIV(data); }, "GetIV");
      expectRefusal([&] { block_->DecryptCFB8bit(data, data, 1); }, "DecryptCFB8bit");
      expectRefusal([&] { block_->EncryptCFB8bit(data, data, 1); }, "EncryptCFB8bit");
    }
    cipher_->Init(key_.data(), 64 <= MaxBits() ? 64 : MaxBits());
    EXPECT_TRUE(cipher_->Initialized());
    cipher_->Burn();
  }
}

TEST_P(CipherConformance, InitWithoutVectorUsesTheEncipheredZeroBlock) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const std::size_t b = BlockBytes();
  block_->Init(key_.data(), MaxBits());
  std::vector<std::uint8_t> iv(b);
  block_->GetIV(iv.data());
  std::vector<std::uint8_t> zeroEnciphered(b, 0);
  block_->EncryptECB(zeroEnciphered.data(), zeroEnciphered.data());
  EXPECT_EQ(iv, zeroEnciphered);
  // And the same IV given explicitly gives the same stream.
  const auto plain = Pattern(33, 3);
  std::vector<std::uint8_t> implicitOut(plain.size());
  std::vector<std::uint8_t> explicitOut(plain.size());
  block_->EncryptCFB8bit(plain.data(), implicitOut.data(), plain.size());
  block_->Init(key_.data(), MaxBits(), zeroEnciphered.data());
  block_->EncryptCFB8bit(plain.data(), explicitOut.data(), plain.size());
  EXPECT_EQ(implicitOut, explicitOut);
}

TEST_P(CipherConformance, GetIVReturnsTheAdvancedChainingRegister) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const std::size_t b = BlockBytes();
  const auto iv = Pattern(b, 4);
  const auto cipherText = Pattern(b + 3, 5);
  block_->Init(key_.data(), MaxBits(), iv.data());
  std::vector<std::uint8_t> out(cipherText.size());
  block_->DecryptCFB8bit(cipherText.data(), out.data(), out.size());
  std::vector<std::uint8_t> cv(b);
  block_->GetIV(cv.data());
  // In 8-bit CFB the register holds the last block-size ciphertext bytes.
  EXPECT_EQ(cv, std::vector<std::uint8_t>(cipherText.end() - static_cast<long>(b), cipherText.end()));
  block_->SetIV(iv.data());
  block_->GetIV(cv.data());
  EXPECT_EQ(cv, iv);
}

TEST_P(CipherConformance, Cfb8InPlaceMatchesSeparateBuffersAndInverts) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const auto iv = Pattern(BlockBytes(), 6);
  const auto plain = Pattern(77, 7);
  block_->Init(key_.data(), MaxBits(), iv.data());
  std::vector<std::uint8_t> separate(plain.size());
  block_->EncryptCFB8bit(plain.data(), separate.data(), plain.size());
  block_->Reset();
  std::vector<std::uint8_t> inPlace = plain;
  block_->EncryptCFB8bit(inPlace.data(), inPlace.data(), inPlace.size());
  EXPECT_EQ(inPlace, separate);
  EXPECT_NE(inPlace, plain);
  block_->Reset();
  block_->DecryptCFB8bit(inPlace.data(), inPlace.data(), 10);  // the register carries over calls
  block_->DecryptCFB8bit(inPlace.data() + 10, inPlace.data() + 10, inPlace.size() - 10);
  EXPECT_EQ(inPlace, plain);
}

TEST_P(CipherConformance, StringOperationsUse8BitCfbWhateverTheMode) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const auto iv = Pattern(BlockBytes(), 8);
  const std::u16string text = u"Mode \u4e0d\u5173\u5fc3";
  block_->Init(key_.data(), MaxBits(), iv.data());
  block_->fCipherMode = cmCFB8bit;
  const std::u16string inCfb8 = block_->EncryptString(std::u16string_view(text));
  for (TCipherMode mode : {cmCBC, cmCFBblock, cmOFB, cmCTR}) {
    block_->fCipherMode = mode;
    block_->Reset();
    EXPECT_EQ(block_->EncryptString(std::u16string_view(text)), inCfb8) << mode;
    block_->Reset();
    EXPECT_EQ(block_->DecryptString(std::u16string_view(inCfb8)), text) << mode;
  }
}

TEST_P(CipherConformance, EveryModeInvertsItselfWithPartialBlocks) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const auto iv = Pattern(BlockBytes(), 9);
  const auto plain = Pattern(5 * BlockBytes() + 3, 10);
  for (TCipherMode mode : {cmCBC, cmCFB8bit, cmCFBblock, cmOFB, cmCTR}) {
    block_->fCipherMode = mode;
    block_->Init(key_.data(), MaxBits(), iv.data());
    std::vector<std::uint8_t> data = plain;
    block_->Encrypt(data.data(), data.data(), data.size());
    EXPECT_NE(data, plain) << mode;
    block_->Reset();
    block_->Decrypt(data.data(), data.data(), data.size());
    EXPECT_EQ(data, plain) << mode;
  }
}

TEST_P(CipherConformance, SecondInitStartsFromTheNewKeyOnly) {
  const std::u16string text = u"again";
  const auto iv = Pattern(16, 11);
  const auto other = Pattern(256, 12);
  cipher_->Init(key_.data(), MaxBits(), iv.data());
  const std::u16string fresh = cipher_->EncryptString(std::u16string_view(text));
  cipher_->Init(other.data(), MaxBits(), iv.data());
  cipher_->EncryptString(std::u16string_view(text));
  cipher_->Init(key_.data(), MaxBits(), iv.data());
  EXPECT_EQ(cipher_->EncryptString(std::u16string_view(text)), fresh);
}

INSTANTIATE_TEST_SUITE_P(Suite, CipherConformance, ::testing::ValuesIn(kCiphers),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A stand-in block cipher that shows the base class's own state.
class TProbeCipher final : public TBlockCipher64 {
 public:
  int GetMaxKeySize() const override { return 64; }
  void EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) override {
    RequireInitialized();
    for (std::size_t i = 0; i < 8; ++i) outData[i] = static_cast<std::uint8_t>(inData[i] ^ key_[i] ^ 0x5A);
  }
  void DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) override { EncryptECB(inData, outData); }
  const std::uint8_t* InitialVector() const { return IV.data(); }
  const std::uint8_t* ChainingValue() const { return CV.data(); }

 protected:
  void ScheduleKey(const std::uint8_t* key, std::uint32_t size) override {
    std::memset(key_, 0, sizeof(key_));
    std::memcpy(key_, key, size / 8);
  }

 private:
  std::uint8_t key_[8] = {};
};

TEST(BlockCipherBase, BurnFillsTheVectorsWith0xFF) {
  TProbeCipher cipher;
  const std::vector<std::uint8_t> allFF(16, 0xFF);
  EXPECT_EQ(std::vector<std::uint8_t>(cipher.InitialVector(), cipher.InitialVector() + 16), allFF);
  const std::uint8_t key[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  cipher.Init(key, 64);
  // E(0) of the stand-in is the key XOR 0x5A.
  EXPECT_EQ(cipher.InitialVector()[0], 1 ^ 0x5A);
  EXPECT_EQ(cipher.ChainingValue()[7], 8 ^ 0x5A);
  cipher.Burn();
  EXPECT_FALSE(cipher.Initialized());
  EXPECT_EQ(std::vector<std::uint8_t>(cipher.InitialVector(), cipher.InitialVector() + 16), allFF);
  EXPECT_EQ(std::vector<std::uint8_t>(cipher.ChainingValue(), cipher.ChainingValue() + 16), allFF);
}

TEST(CipherSuite, IndexesOutsideTheTablesGiveNothing) {
  EXPECT_EQ(CreateCipherByIndex(-1), nullptr);
  EXPECT_EQ(CreateCipherByIndex(9), nullptr);
  EXPECT_EQ(CreateHashByIndex(-1), nullptr);
  EXPECT_EQ(CreateHashByIndex(5), nullptr);
  for (int i = 0; i < kHashCount; ++i) EXPECT_NE(CreateHashByIndex(i), nullptr) << i;
}

TEST(CipherSuite, NamesMapToIndexesWithoutRegardToCase) {
  struct Case {
    const char16_t* name;
    int hash;
    int cipher;
  };
  const Case cases[] = {
      {u"Haval", 0, -1},  {u"HAVAL", 0, -1},    {u"md5", 1, -1},     {u"SHA1", 2, -1},       {u"sha-256", 3, -1},
      {u"SHA512", 4, -1}, {u"Blowfish", -1, 0}, {u"cast128", -1, 1}, {u"CAST-256", -1, 2},   {u"des", -1, 3},
      {u"3DES", -1, 4},   {u"Rijndael", -1, 5}, {u"aes", -1, 5},     {u"rc4", -1, 6},        {u"TWOFISH", -1, 7},
      {u"Idea", -1, 8},   {u"", -1, -1},        {u"SHA", -1, -1},    {u"Rijndael ", -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HashIndexByName(c.name), c.hash);
    EXPECT_EQ(CipherIndexByName(c.name), c.cipher);
  }
  EXPECT_EQ(CipherName(5), u"Rijndael");
  EXPECT_EQ(HashName(3), u"SHA256");
  EXPECT_EQ(CipherName(9), u"");
}

}  // namespace
}  // namespace setup
