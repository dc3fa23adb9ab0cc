// DES and triple DES: the published examples (FIPS 81, NIST SP 800-20, NIST SP 800-67, the
// iterated test of the DES validation literature), and cross-checks made once by
// tests/crypto/tools/cipher_cross_vectors.py with OpenSSL's command line (des-ecb, des-cfb8,
// des-ede3-ecb, des-ede3-cfb8; keys handed over already zero-padded, two-key triple DES as
// K1 K2 K1).
#include <gtest/gtest.h>

#include "BlockCipherCases.h"
#include "crypto/Des.h"

namespace setup {
namespace {

using namespace testing_support;

// clang-format off
const BlockCase kDesBlockCases[] = {
    {"Fips81NowIsT", 64, "0123456789abcdef", "4e6f772069732074", "3fa40e8a984d4815"},
    {"Classic", 64, "133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
    // NIST SP 800-20, first rows of the variable-plaintext and variable-key tables.
    {"Sp800_20VariablePlain", 64, "0101010101010101", "8000000000000000", "95f8a5e5dd31d900"},
    {"Sp800_20VariableKey", 64, "8001010101010101", "0000000000000000", "95a8d72813daa94d"},
    // The low bit of every key byte is parity and is ignored.
    {"ParityIgnored", 64, "0022446688aaccee", "4e6f772069732074", "3fa40e8a984d4815"},
    // Cross-check with four key bytes, zero-padded to eight; 36 bits reads the same four.
    {"EcbKey32", 32, "13345779", "6bc1bee22e409f96", "f70b999bd662cad6"},
    {"Size36", 36, "13345779ff", "6bc1bee22e409f96", "f70b999bd662cad6"},
};

const BlockCase k3DesBlockCases[] = {
    // NIST SP 800-67's example, three independent keys, block by block.
    {"Sp800_67Block1", 192, "0123456789abcdef23456789abcdef01456789abcdef0123", "5468652071756663", "a826fd8ce53b855f"},
    {"Sp800_67Block2", 192, "0123456789abcdef23456789abcdef01456789abcdef0123", "6b2062726f776e20", "cce21c8112256fe6"},
    {"Sp800_67Block3", 192, "0123456789abcdef23456789abcdef01456789abcdef0123", "666f78206a756d70", "68d5c05dd9b6b900"},
    // Cross-checks: two-key (K3 = K1), 160 bits (K3 = bytes 17-20 and four zero bytes), three-key,
    // and 132 bits: sixteen bytes read, above 128 bits, so K3 is the all-zero padding.
    {"EcbKey128", 128, "0123456789abcdef23456789abcdef01", "6bc1bee22e409f96", "06ede3d82884090a"},
    {"EcbKey160", 160, "0123456789abcdef23456789abcdef01456789ab", "6bc1bee22e409f96", "02c663ccd7182b54"},
    {"EcbKey192", 192, "0123456789abcdef23456789abcdef01456789abcdef0123", "6bc1bee22e409f96", "714772f339841d34"},
    {"EcbSize132", 132, "0123456789abcdef23456789abcdef01ff", "6bc1bee22e409f96", "5c98ee2f9589666a"},
    // Two-key EDE is three-key EDE with K3 = K1.
    {"TwoKeyAsThree", 192, "0123456789abcdef23456789abcdef010123456789abcdef", "6bc1bee22e409f96", "06ede3d82884090a"},
};

const Cfb8Case kDesCfb8Cases[] = {
    {"Key32", 32, "13345779", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "526d6038911e8dd2d4265b2f998e445732e6055f0d"},
    {"Key64", 64, "133457799bbcdff1", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "e7a51daf0bc3173daada13686e297c188ad7187a81"},
};

const Cfb8Case k3DesCfb8Cases[] = {
    {"Key128", 128, "0123456789abcdef23456789abcdef01", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "660d97d91eb45e3fb80ac03103d3a8f8503c462eef"},
    {"Key160", 160, "0123456789abcdef23456789abcdef01456789ab", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "28a494317ab8cbc93a80918684d59fe090caa931a6"},
    {"Key192", 192, "0123456789abcdef23456789abcdef01456789abcdef0123", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "6429732fc0b976088d756da9d8a20fbf357258153e"},
};

const TextCase kDesTextCases[] = {
    {"Key32", 32, "13345779", "f0e1d2c3b4a59687", "audMucrxuxWtbmOiZ1I6RnlCGrFx+aU8kKN/8oJrwCIeD9cL"},
    {"Key64", 64, "133457799bbcdff1", "f0e1d2c3b4a59687", "34+qUcVw9WkEPMpTQZ+wX5w9eUFAGrriwOHxnmtRKGQwkIJX"},
};

const TextCase k3DesTextCases[] = {
    {"Key128", 128, "0123456789abcdef23456789abcdef01", "f0e1d2c3b4a59687", "XqI8+WhQO7eP4t1dYEApAnaRw+nG4JgFq37AeMzQ10sYEQjb"},
    {"Key160", 160, "0123456789abcdef23456789abcdef01456789ab", "f0e1d2c3b4a59687", "ED7AkJ1nz0lslPnyAPaRLuPwpOvjgAA8P/i9MAzxbPWDSAc5"},
    {"Key192", 192, "0123456789abcdef23456789abcdef01456789abcdef0123", "f0e1d2c3b4a59687", "XNF5wi2TLvg9aPf4jdwgiZ825X2AAVgJ0jqW2/AzMEdUDpfD"},
};
// clang-format on

class DesBlock : public ::testing::TestWithParam<BlockCase> {};
TEST_P(DesBlock, KnownBlockBothWays) { ExpectBlockBothWays<TDes>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Vectors, DesBlock, ::testing::ValuesIn(kDesBlockCases), CaseName<BlockCase>);

class TripleDesBlock : public ::testing::TestWithParam<BlockCase> {};
TEST_P(TripleDesBlock, KnownBlockBothWays) { ExpectBlockBothWays<T3Des>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Vectors, TripleDesBlock, ::testing::ValuesIn(k3DesBlockCases), CaseName<BlockCase>);

class DesCfb8 : public ::testing::TestWithParam<Cfb8Case> {};
TEST_P(DesCfb8, KnownStreamBothWays) { ExpectCfb8BothWays<TDes>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, DesCfb8, ::testing::ValuesIn(kDesCfb8Cases), CaseName<Cfb8Case>);

class TripleDesCfb8 : public ::testing::TestWithParam<Cfb8Case> {};
TEST_P(TripleDesCfb8, KnownStreamBothWays) { ExpectCfb8BothWays<T3Des>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, TripleDesCfb8, ::testing::ValuesIn(k3DesCfb8Cases), CaseName<Cfb8Case>);

class DesText : public ::testing::TestWithParam<TextCase> {};
TEST_P(DesText, KnownStringBothWays) { ExpectTextBothWays<TDes>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, DesText, ::testing::ValuesIn(kDesTextCases), CaseName<TextCase>);

class TripleDesText : public ::testing::TestWithParam<TextCase> {};
TEST_P(TripleDesText, KnownStringBothWays) { ExpectTextBothWays<T3Des>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, TripleDesText, ::testing::ValuesIn(k3DesTextCases), CaseName<TextCase>);

// The iterated test: sixteen steps, each block used as its own key, enciphering on even steps
// and deciphering on odd ones, from 9474B8E8C73BCA7D to 1B1A2DDB4C642438.
TEST(Des, IteratedTest) {
  std::vector<std::uint8_t> x = FromHex("9474b8e8c73bca7d");
  TDes cipher;
  for (int i = 0; i < 16; ++i) {
    cipher.Init(x.data(), 64);
    if (i % 2 == 0)
      cipher.EncryptECB(x.data(), x.data());
    else
      cipher.DecryptECB(x.data(), x.data());
  }
  EXPECT_EQ(ToHex(x), "1b1a2ddb4c642438");
}

TEST(Des, SelfTestsPass) {
  TDes des;
  EXPECT_TRUE(des.SelfTest());
  T3Des tripleDes;
  EXPECT_TRUE(tripleDes.SelfTest());
}

}  // namespace
}  // namespace setup
