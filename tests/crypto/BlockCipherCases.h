// Case tables and checks shared by the 8-bit CFB and string suites of the CAST, DES, Twofish and
// IDEA ciphers (their single blocks are in data/block/).
// Every check runs both directions: a round trip alone passes when both are wrong alike.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Hex.h"

namespace setup::testing_support {

// 8-bit CFB from a given initial vector.
struct Cfb8Case {
  const char* name;
  std::uint32_t keyBits;
  const char* key;
  const char* iv;
  const char* plain;
  const char* cipher;
};

// EncryptString / DecryptString of kCrossCheckText: its UTF-16LE bytes in 8-bit CFB, as Base64.
struct TextCase {
  const char* name;
  std::uint32_t keyBits;
  const char* key;
  const char* iv;
  const char* base64;
};

inline constexpr char16_t kCrossCheckText[] = u"Setup \u2713 \u5b89\u88c5 Glyphor";

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

template <typename Cipher>
void ExpectCfb8BothWays(const Cfb8Case& c) {
  const auto key = FromHex(c.key);
  const auto iv = FromHex(c.iv);
  const auto plain = FromHex(c.plain);
  Cipher cipher;
  cipher.Init(key.data(), c.keyBits, iv.data());
  std::vector<std::uint8_t> out(plain.size());
  cipher.EncryptCFB8bit(plain.data(), out.data(), out.size());
  EXPECT_EQ(ToHex(out), c.cipher);

  // Deciphering in place, in two calls: the chaining register carries over between them.
  cipher.Reset();
  std::vector<std::uint8_t> data = FromHex(c.cipher);
  const std::size_t first = 5;
  cipher.DecryptCFB8bit(data.data(), data.data(), first);
  cipher.DecryptCFB8bit(data.data() + first, data.data() + first, data.size() - first);
  EXPECT_EQ(ToHex(data), c.plain);
}

template <typename Cipher>
void ExpectTextBothWays(const TextCase& c) {
  const auto key = FromHex(c.key);
  const auto iv = FromHex(c.iv);
  const std::u16string base64(c.base64, c.base64 + std::char_traits<char>::length(c.base64));
  Cipher cipher;
  cipher.Init(key.data(), c.keyBits, iv.data());
  EXPECT_EQ(cipher.EncryptString(std::u16string_view(kCrossCheckText)), base64);
  cipher.Reset();
  EXPECT_EQ(cipher.DecryptString(std::u16string_view(base64)), kCrossCheckText);
}

}  // namespace setup::testing_support
