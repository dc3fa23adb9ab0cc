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

}  // namespace
}  // namespace setup
