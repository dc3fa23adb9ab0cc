// CAST-256: RFC 2612 appendix A, and cross-checks made once with Botan 2's Python binding by
// tests/crypto/tools/cipher_cross_vectors.py (keys handed to it zero-padded to 32 bytes).
#include <gtest/gtest.h>

#include "BlockCipherCases.h"
#include "crypto/Cast256.h"

namespace setup {
namespace {

using namespace testing_support;

// clang-format off
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

class Cast256Cfb8 : public ::testing::TestWithParam<Cfb8Case> {};
TEST_P(Cast256Cfb8, KnownStreamBothWays) { ExpectCfb8BothWays<TCast256>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, Cast256Cfb8, ::testing::ValuesIn(kCfb8Cases), CaseName<Cfb8Case>);

class Cast256Text : public ::testing::TestWithParam<TextCase> {};
TEST_P(Cast256Text, KnownStringBothWays) { ExpectTextBothWays<TCast256>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, Cast256Text, ::testing::ValuesIn(kTextCases), CaseName<TextCase>);

}  // namespace
}  // namespace setup
