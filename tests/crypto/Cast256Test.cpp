// CAST-256: RFC 2612 appendix A, and cross-checks made once with Botan 2's Python binding by
// tests/crypto/tools/cipher_cross_vectors.py (keys handed to it zero-padded to 32 bytes).
#include <gtest/gtest.h>

#include "BlockCipherCases.h"
#include "crypto/Cast256.h"

namespace setup {
namespace {

using namespace testing_support;

// clang-format off
const BlockCase kBlockCases[] = {
    // RFC 2612 appendix A: 128-, 192- and 256-bit keys, zero plaintext.
    {"Rfc2612Key128", 128, "2342bb9efa38542c0af75647f29f615d", "00000000000000000000000000000000", "c842a08972b43d20836c91d1b7530f6b"},
    {"Rfc2612Key192", 192, "2342bb9efa38542cbed0ac83940ac298bac77a7717942863", "00000000000000000000000000000000", "1b386c0210dcadcbdd0e41aa08a7a7e8"},
    {"Rfc2612Key256", 256, "2342bb9efa38542cbed0ac83940ac2988d7c47ce264908461cc1b5137ae6b604", "00000000000000000000000000000000", "4f6a2038286897b9c9870136553317fa"},
    // Cross-checks, including 160 bits.
    {"EcbKey128", 128, "2342bb9efa38542cbed0ac83940ac298", "6bc1bee22e409f96e93d7e117393172a", "3963309f45124d588c7fdd2af931b142"},
    {"EcbKey160", 160, "2342bb9efa38542cbed0ac83940ac2988d7c47ce", "6bc1bee22e409f96e93d7e117393172a", "7be45f58abd5ae88cb7217560f137c4d"},
    {"EcbKey256", 256, "2342bb9efa38542cbed0ac83940ac2988d7c47ce264908461cc1b5137ae6b604", "6bc1bee22e409f96e93d7e117393172a", "411223052a2aef942b7b6d9700e89b1a"},
    // 164 bits reads 20 bytes; explicit zero padding is the same key.
    {"Size164", 164, "2342bb9efa38542cbed0ac83940ac2988d7c47ceff", "6bc1bee22e409f96e93d7e117393172a", "7be45f58abd5ae88cb7217560f137c4d"},
    {"Padded160", 256, "2342bb9efa38542cbed0ac83940ac2988d7c47ce000000000000000000000000", "6bc1bee22e409f96e93d7e117393172a", "7be45f58abd5ae88cb7217560f137c4d"},
};

const Cfb8Case kCfb8Cases[] = {
    {"Key128", 128, "2342bb9efa38542cbed0ac83940ac298", "000102030405060708090a0b0c0d0e0f", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "11b4eebbe6e272a89690121a57c5bf6e8f401b7b67"},
    {"Key160", 160, "2342bb9efa38542cbed0ac83940ac2988d7c47ce", "000102030405060708090a0b0c0d0e0f", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "e0708c6700791bd06ec5cab710763c743c352860a1"},
    {"Key256", 256, "2342bb9efa38542cbed0ac83940ac2988d7c47ce264908461cc1b5137ae6b604", "000102030405060708090a0b0c0d0e0f", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "b98bb0ad883620823b5c45abea184fa76c764a92bf"},
};

const TextCase kTextCases[] = {
    {"Key128", 128, "2342bb9efa38542cbed0ac83940ac298", "000102030405060708090a0b0c0d0e0f", "Ke9QjnZSycNRiUD0PjyJQXs7bdblRpeqzAfSh4eraBU06BL5"},
    {"Key160", 160, "2342bb9efa38542cbed0ac83940ac2988d7c47ce", "000102030405060708090a0b0c0d0e0f", "2OkJsLAuh3sK8rUn1TaBSfVdrc6f5er6eGjwxBAyoUBz6amr"},
    {"Key256", 256, "2342bb9efa38542cbed0ac83940ac2988d7c47ce264908461cc1b5137ae6b604", "000102030405060708090a0b0c0d0e0f", "gXAYJqMUFm9bY7FzNc0br6MwaGF7UGmh3FkIyKhs3I7km8NL"},
};
// clang-format on

class Cast256Block : public ::testing::TestWithParam<BlockCase> {};
TEST_P(Cast256Block, KnownBlockBothWays) { ExpectBlockBothWays<TCast256>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Vectors, Cast256Block, ::testing::ValuesIn(kBlockCases), CaseName<BlockCase>);

class Cast256Cfb8 : public ::testing::TestWithParam<Cfb8Case> {};
TEST_P(Cast256Cfb8, KnownStreamBothWays) { ExpectCfb8BothWays<TCast256>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, Cast256Cfb8, ::testing::ValuesIn(kCfb8Cases), CaseName<Cfb8Case>);

class Cast256Text : public ::testing::TestWithParam<TextCase> {};
TEST_P(Cast256Text, KnownStringBothWays) { ExpectTextBothWays<TCast256>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, Cast256Text, ::testing::ValuesIn(kTextCases), CaseName<TextCase>);

TEST(Cast256, SelfTestPasses) {
  TCast256 cipher;
  EXPECT_TRUE(cipher.SelfTest());
}

}  // namespace
}  // namespace setup
