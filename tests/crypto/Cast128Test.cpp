// CAST-128: RFC 2144 appendix B, and cross-checks made once with independent implementations
// by tests/crypto/tools/cipher_cross_vectors.py: Botan 2's Python binding for 13- and 16-byte
// keys and the shortened maintenance test; OpenSSL's libcrypto CAST_set_key / CAST_ecb_encrypt
// for the 5- and 10-byte keys that take 12 rounds, with 8-bit CFB built around it in that script.
#include <gtest/gtest.h>

#include "BlockCipherCases.h"
#include "crypto/Cast128.h"

namespace setup {
namespace {

using namespace testing_support;

// clang-format off
const Cfb8Case kCfb8Cases[] = {
    {"Key40", 40, "0123456712", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "00214751d09259a1a80e8298d997d1370a831863da"},
    {"Key80", 80, "01234567123456782345", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "76fc7b9d86a14a51c6f3ad7461718e4aa14934ba52"},
    {"Key128", 128, "0123456712345678234567893456789a", "f0e1d2c3b4a59687", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "ea2963160f3153ad858c9359522997dfbd8c359767"},
};

const TextCase kTextCases[] = {
    {"Key40", 40, "0123456712", "f0e1d2c3b4a59687", "ODzGC2RTX6abamyoMz8BEOUar2b4SDT/Ue1eSHIb4RxEPzJK"},
    {"Key80", 80, "01234567123456782345", "f0e1d2c3b4a59687", "Tic0tRizcBp72nlPpt6/eYUNZ3INOrIne+Cglx5eYgiwjp8b"},
    {"Key128", 128, "0123456712345678234567893456789a", "f0e1d2c3b4a59687", "0p6EInBe0L0JtPlcLIsjZFsuhHtYx2GDfWds9y/s+eN579m5"},
};
// clang-format on

class Cast128Cfb8 : public ::testing::TestWithParam<Cfb8Case> {};
TEST_P(Cast128Cfb8, KnownStreamBothWays) { ExpectCfb8BothWays<TCast128>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, Cast128Cfb8, ::testing::ValuesIn(kCfb8Cases), CaseName<Cfb8Case>);

class Cast128Text : public ::testing::TestWithParam<TextCase> {};
TEST_P(Cast128Text, KnownStringBothWays) { ExpectTextBothWays<TCast128>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, Cast128Text, ::testing::ValuesIn(kTextCases), CaseName<TextCase>);

TEST(Cast128, RoundsFollowTheKeyBytesRead) {
  const std::vector<std::uint8_t> key(16, 0x5A);
  TCast128 cipher;
  EXPECT_EQ(cipher.Rounds(), 0);
  for (auto [bits, rounds] : {std::pair{4u, 12}, {40u, 12}, {80u, 12}, {84u, 12}, {88u, 16}, {128u, 16}}) {
    cipher.Init(key.data(), bits);
    EXPECT_EQ(cipher.Rounds(), rounds) << bits;
  }
  cipher.Burn();
  EXPECT_EQ(cipher.Rounds(), 0);
}

// RFC 2144 B.2, the maintenance test: a and b encipher each other's halves, step after step.
// The published answer needs a million steps, which unoptimised sanitizer builds take about a
// minute for; they stop after 10000, whose answer was cross-checked with Botan.
struct MaintenanceCase {
  const char* name;
  int steps;
  const char* a;
  const char* b;
};

const MaintenanceCase kMaintenanceCases[] = {
    {"Steps10000", 10000, "fd9f563662cc64d7f2fb6be67d23a0f8", "e8c3c8eae136a412228cf7414395373b"},
    {"Rfc2144Steps1000000", 1000000, "eea9d0a249fd3ba6b3436fb89d6dca92", "b2c95eb00c31ad7180ac05b8e83d696e"},
};

class Cast128Maintenance : public ::testing::TestWithParam<MaintenanceCase> {};

TEST_P(Cast128Maintenance, ReachesTheKnownKeys) {
#ifndef __OPTIMIZE__
  if (GetParam().steps > 10000) GTEST_SKIP() << "a million key schedules: run by the optimised (Windows) build";
#endif
  std::vector<std::uint8_t> a = FromHex("0123456712345678234567893456789a");
  std::vector<std::uint8_t> b = a;
  TCast128 cipher;
  for (int i = 0; i < GetParam().steps; ++i) {
    cipher.Init(b.data(), 128);
    cipher.EncryptECB(a.data(), a.data());
    cipher.EncryptECB(a.data() + 8, a.data() + 8);
    cipher.Init(a.data(), 128);
    cipher.EncryptECB(b.data(), b.data());
    cipher.EncryptECB(b.data() + 8, b.data() + 8);
  }
  EXPECT_EQ(ToHex(a), GetParam().a);
  EXPECT_EQ(ToHex(b), GetParam().b);
}

INSTANTIATE_TEST_SUITE_P(Rfc2144, Cast128Maintenance, ::testing::ValuesIn(kMaintenanceCases),
                         CaseName<MaintenanceCase>);

}  // namespace
}  // namespace setup
