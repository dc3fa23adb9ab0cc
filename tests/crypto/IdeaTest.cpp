// IDEA: the designers' example and a widely published vector, and cross-checks made once with
// Botan 2's Python binding by tests/crypto/tools/cipher_cross_vectors.py (the 64-bit key handed
// to it zero-padded to 128 bits).
#include <gtest/gtest.h>

#include "BlockCipherCases.h"
#include "crypto/Idea.h"

namespace setup {
namespace {

using namespace testing_support;

// clang-format off
const BlockCase kBlockCases[] = {
    // Key words 1..8 and plain words 0..3, the designers' worked example.
    {"Designers", 128, "00010002000300040005000600070008", "0000000100020003", "11fbed2b01986de5"},
    {"Published", 128, "2bd6459f82c5b300952c49104881ff48", "f129a6601ef62a47", "ea024714ad5c4d84"},
    {"EcbKey64", 64, "3a984e2000195db3", "6bc1bee22e409f96", "e1bcc0b8f4619dcc"},
    {"EcbKey128", 128, "3a984e2000195db32ee501c8c47cea60", "6bc1bee22e409f96", "da0f82b5e98c45f8"},
    // 68 bits reads eight bytes: the same as the 64-bit key, padded with zeros.
    {"Size68", 68, "3a984e2000195db3ff", "6bc1bee22e409f96", "e1bcc0b8f4619dcc"},
    {"Padded64", 128, "3a984e2000195db30000000000000000", "6bc1bee22e409f96", "e1bcc0b8f4619dcc"},
    // Cross-checks where the multiplication meets 0 (standing for 2^16) and 1, both their own
    // inverses, so deciphering must undo them exactly.
    {"ZeroKey", 128, "00000000000000000000000000000000", "0000000000000000", "0001000100000000"},
    {"OnesKey", 128, "00010001000100010001000100010001", "ffffffffffffffff", "862f2e1ec5261551"},
    {"AllFfKey", 128, "ffffffffffffffffffffffffffffffff", "0001000100010001", "544f4d63699c034e"},
};

const Cfb8Case kCfb8Cases[] = {
    {"Key64", 64, "3a984e2000195db3", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "192633a390427ce9a8e5cb47a6ec8c178f576011c2"},
    {"Key128", 128, "3a984e2000195db32ee501c8c47cea60", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "6615305cce01f7d492e7a21ae05da94416a74fd8be"},
};

const TextCase kTextCases[] = {
    {"Key64", 64, "3a984e2000195db3", "f0e1d2c3b4a59687", "IdfApQ0IismCiezL8IfhP7IyNOotCFjx/evyUuQIYIs3Ekoe"},
    {"Key128", 128, "3a984e2000195db32ee501c8c47cea60", "f0e1d2c3b4a59687", "XrSeaECSRD5or86+pbe3tS+F2UC89mSg2ij7J2Z841sq6zC8"},
};
// clang-format on

class IdeaBlock : public ::testing::TestWithParam<BlockCase> {};
TEST_P(IdeaBlock, KnownBlockBothWays) { ExpectBlockBothWays<TIdea>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Vectors, IdeaBlock, ::testing::ValuesIn(kBlockCases), CaseName<BlockCase>);

class IdeaCfb8 : public ::testing::TestWithParam<Cfb8Case> {};
TEST_P(IdeaCfb8, KnownStreamBothWays) { ExpectCfb8BothWays<TIdea>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, IdeaCfb8, ::testing::ValuesIn(kCfb8Cases), CaseName<Cfb8Case>);

class IdeaText : public ::testing::TestWithParam<TextCase> {};
TEST_P(IdeaText, KnownStringBothWays) { ExpectTextBothWays<TIdea>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, IdeaText, ::testing::ValuesIn(kTextCases), CaseName<TextCase>);

TEST(Idea, SelfTestPasses) {
  TIdea cipher;
  EXPECT_TRUE(cipher.SelfTest());
}

}  // namespace
}  // namespace setup
