// The block-cipher base's own state, and the suite's tables by index and by name.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "crypto/BlockCipher.h"
#include "crypto/Suite.h"

namespace setup {
namespace {

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
