#include <gtest/gtest.h>

#include "Hex.h"
#include "crypto/Blowfish.h"

namespace setup {
namespace {

using testing_support::FromHex;
using testing_support::ToHex;

struct EcbCase {
  const char* key;
  const char* plain;
  const char* cipher;
};

// Eric Young's published Blowfish vectors.
const EcbCase kEcbCases[] = {
    {"0000000000000000", "0000000000000000", "4ef997456198dd78"},
    {"ffffffffffffffff", "ffffffffffffffff", "51866fd5b85ecb8a"},
    {"3000000000000000", "1000000000000001", "7d856f9a613063f2"},
    {"1111111111111111", "1111111111111111", "2466dd878b963c9d"},
    {"0123456789abcdef", "1111111111111111", "61f9c3802281b096"},
    {"fedcba9876543210", "0123456789abcdef", "0aceab0fc6a0a28d"},
};

class BlowfishEcb : public ::testing::TestWithParam<EcbCase> {};

TEST_P(BlowfishEcb, EncryptsAndDecryptsTheKnownBlock) {
  const auto key = FromHex(GetParam().key);
  const auto plain = FromHex(GetParam().plain);
  TBlowfish cipher;
  cipher.Init(key.data(), static_cast<std::uint32_t>(key.size() * 8));
  std::uint8_t block[8];
  cipher.EncryptECB(plain.data(), block);
  EXPECT_EQ(ToHex(block, 8), GetParam().cipher);
  const auto expected = FromHex(GetParam().cipher);
  cipher.DecryptECB(expected.data(), block);
  EXPECT_EQ(ToHex(block, 8), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(Vectors, BlowfishEcb, ::testing::ValuesIn(kEcbCases));

TEST(Blowfish, SelfTestPasses) {
  TBlowfish cipher;
  EXPECT_TRUE(cipher.SelfTest());
}

}  // namespace
}  // namespace setup
