// Twofish: the known answers published with the cipher (single blocks and the 49-step
// iterated tables for 128-, 192- and 256-bit keys), and cross-checks made once with Botan 2's
// Python binding by tests/crypto/tools/cipher_cross_vectors.py (keys handed to it already
// zero-padded to 128, 192 or 256 bits).
#include <gtest/gtest.h>

#include <cstdlib>

#include "BlockCipherCases.h"
#include "base/Threads.h"
#include "crypto/Twofish.h"

namespace setup {
namespace {

using namespace testing_support;

// clang-format off
const Cfb8Case kCfb8Cases[] = {
    {"Key128", 128, "0123456789abcdeffedcba9876543210", "000102030405060708090a0b0c0d0e0f", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "b575ac55c81453560b840fea44dcb259ac64a5f681"},
    {"Key160", 160, "0123456789abcdeffedcba987654321000112233", "000102030405060708090a0b0c0d0e0f", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "c489af2718e16fa5def2d02db01875127030d81087"},
    {"Key192", 192, "0123456789abcdeffedcba98765432100011223344556677", "000102030405060708090a0b0c0d0e0f", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "14901e7109cf8dd0bd7b91864bf06442f2a1653db8"},
    {"Key256", 256, "0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff", "000102030405060708090a0b0c0d0e0f", "6bc1bee22e409f96e93d7e117393172aae2d8a571e", "ea5cd59ae801baa7c82ba512966c86909f55a14b2f"},
};

const TextCase kTextCases[] = {
    {"Key128", 128, "0123456789abcdeffedcba9876543210", "000102030405060708090a0b0c0d0e0f", "jSl1wbAEawBV58WkLRIwaCe2THlGjq+Tq4kRYHXCOOZmlnwN"},
    {"Key160", 160, "0123456789abcdeffedcba987654321000112233", "000102030405060708090a0b0c0d0e0f", "/H+E270OhRsjW9W3hUTaiFs4WMvJWvxJR1+XJkjaGmwEjPg4"},
    {"Key192", 192, "0123456789abcdeffedcba98765432100011223344556677", "000102030405060708090a0b0c0d0e0f", "LNjXINHkzxS9iLXwFLKiX9S8as/4uWZ1IqTWPIdYUtQAAaZx"},
    {"Key256", 256, "0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff", "000102030405060708090a0b0c0d0e0f", "0mz1HtpsnzNNs0jLb38U+sLDEO+3PWdtn6zGyFsgbrhzosmH"},
};
// clang-format on

class TwofishCfb8 : public ::testing::TestWithParam<Cfb8Case> {};
TEST_P(TwofishCfb8, KnownStreamBothWays) { ExpectCfb8BothWays<TTwofish>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, TwofishCfb8, ::testing::ValuesIn(kCfb8Cases), CaseName<Cfb8Case>);

class TwofishText : public ::testing::TestWithParam<TextCase> {};
TEST_P(TwofishText, KnownStringBothWays) { ExpectTextBothWays<TTwofish>(GetParam()); }
INSTANTIATE_TEST_SUITE_P(CrossChecked, TwofishText, ::testing::ValuesIn(kTextCases), CaseName<TextCase>);

// The iterated tables: from a zero key and block, each step's block becomes the next
// plaintext and the previous plaintext is shifted into the front of the key.
struct IteratedCase {
  const char* name;
  std::size_t keyBytes;
  const char* after49;
};

const IteratedCase kIteratedCases[] = {
    {"Key128", 16, "5d9d4eeffa9151575524f115815a12e0"},
    {"Key192", 24, "e75449212beef9f4a390bd860a640941"},
    {"Key256", 32, "37fe26ff1cf66175f5ddf4c33b97a205"},
};

class TwofishIterated : public ::testing::TestWithParam<IteratedCase> {};

TEST_P(TwofishIterated, FortyNineSteps) {
  const std::size_t keyBytes = GetParam().keyBytes;
  std::vector<std::uint8_t> key(keyBytes, 0);
  std::vector<std::uint8_t> plain(16, 0);
  std::vector<std::uint8_t> cipherText(16);
  TTwofish cipher;
  for (int step = 0; step < 49; ++step) {
    cipher.Init(key.data(), static_cast<std::uint32_t>(keyBytes * 8));
    cipher.EncryptECB(plain.data(), cipherText.data());
    std::vector<std::uint8_t> nextKey(plain);
    nextKey.insert(nextKey.end(), key.begin(), key.end());
    nextKey.resize(keyBytes);
    key = nextKey;
    plain = cipherText;
  }
  EXPECT_EQ(ToHex(cipherText), GetParam().after49);
}

INSTANTIATE_TEST_SUITE_P(Published, TwofishIterated, ::testing::ValuesIn(kIteratedCases), CaseName<IteratedCase>);

// Two threads construct the first instances of a process at the same moment, each enciphering
// a known block; true when both saw complete tables.
bool TwoThreadsEncipherTheKnownBlock() {
  // The published 256-bit known answer (data/block/Twofish.tsv, PublishedKey256).
  const auto key = FromHex("0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff");
  const auto plain = FromHex("00000000000000000000000000000000");
  bool ok[2] = {false, false};
  auto encipher = [&](int slot) {
    TTwofish cipher;
    cipher.Init(key.data(), 256);
    std::vector<std::uint8_t> block(16);
    cipher.EncryptECB(plain.data(), block.data());
    ok[slot] = ToHex(block) == "37527be0052334b89f0cfccae87cfa20";
  };
  Thread first([&] { encipher(0); });
  Thread second([&] { encipher(1); });
  first.Join();
  second.Join();
  return ok[0] && ok[1];
}

// The check runs in a child process started afresh (the thread-safe death test style runs this
// program again), so no earlier test of this process has built the tables already.
TEST(TwofishDeathTest, TwoThreadsConstructTheFirstInstances) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(TwoThreadsEncipherTheKnownBlock() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace setup
