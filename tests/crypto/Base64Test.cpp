#include <gtest/gtest.h>

#include "Hex.h"
#include "base/CodePage.h"
#include "crypto/Base64.h"

namespace setup {
namespace {

using testing_support::FromHex;
using testing_support::ToHex;

struct EncodeCase {
  const char* bytes;  // hex
  const char* text;
};

// RFC 4648 section 10, and bytes that use the last letters of the alphabet.
const EncodeCase kEncodeCases[] = {
    {"", ""},
    {"66", "Zg=="},
    {"666f", "Zm8="},
    {"666f6f", "Zm9v"},
    {"666f6f62", "Zm9vYg=="},
    {"666f6f6261", "Zm9vYmE="},
    {"666f6f626172", "Zm9vYmFy"},
    {"fbff", "+/8="},
    {"000000ffffff", "AAAA////"},
};

class Base64Known : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Base64Known, EncodesToTheStandardText) {
  const auto bytes = FromHex(GetParam().bytes);
  EXPECT_EQ(EncodeBase64(bytes.data(), bytes.size()), GetParam().text);
}

TEST_P(Base64Known, DecodesTheStandardText) { EXPECT_EQ(ToHex(DecodeBase64(GetParam().text)), GetParam().bytes); }

INSTANTIATE_TEST_SUITE_P(Rfc4648, Base64Known, ::testing::ValuesIn(kEncodeCases));

struct DecodeCase {
  const char* name;
  const char* text;
  const char* bytes;  // hex
};

// The tolerant rules: whole groups only, "=" as a marker, strays keep their place's last value.
const DecodeCase kDecodeCases[] = {
    {"Empty", "", ""},
    {"OneChar", "Q", ""},
    {"ThreeChars", "QUJ", ""},
    {"OneGroup", "QUJD", "414243"},
    {"TrailingPartIgnored", "QUJDRA", "414243"},
    {"OnePadded", "QQ==", "41"},
    {"TwoPadded", "QUI=", "4142"},
    {"PadInThirdPlaceEndsGroup", "QQ=A", "41"},
    {"PaddingMidTextGoesOn", "QQ==QUJD", "41414243"},
    {"StrayInFirstGroupIsZero", "*UJD", "014243"},
    {"StrayKeepsPreviousValue", "QUJD*UJD", "414243414243"},
    {"StrayKeepsPreviousMarker", "QQ==QU*D", "4141"},
    {"HighBytesAreStrays", "QUJD\xff\x80\x7f\x01", "414243414243"},
};

class Base64Tolerant : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Base64Tolerant, DecodesByTheDialectRules) { EXPECT_EQ(ToHex(DecodeBase64(GetParam().text)), GetParam().bytes); }

INSTANTIATE_TEST_SUITE_P(Rules, Base64Tolerant, ::testing::ValuesIn(kDecodeCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(Base64, EncodedLengthIsFourPerStartedTriple) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t n = 0; n < 20; ++n) {
    EXPECT_EQ(EncodeBase64(bytes.data(), bytes.size()).size(), (n + 2) / 3 * 4);
    bytes.push_back(static_cast<std::uint8_t>(n * 37));
  }
}

TEST(Base64Text, ReadsLittleEndianPairsAndDropsAnOddByte) {
  EXPECT_EQ(DecodeBase64Text(u"QUJD"), std::u16string(1, u'\u4241'));
  EXPECT_EQ(DecodeBase64Text(u"QUJDRA=="), u"\u4241\u4443");
  EXPECT_EQ(EncodeBase64Text(u"\u4241\u4443"), u"QUJDRA==");
  EXPECT_EQ(EncodeBase64Text(u"A"), u"QQA=");
  EXPECT_EQ(DecodeBase64Text(u"QQA="), u"A");
}

TEST(Base64Text, GoesThroughTheAnsiCodePage) {
  // In code page 936 one Chinese character becomes two stray bytes, shifting the groups.
  SetAnsiCodePage(936);
  const std::u16string decoded = DecodeBase64Text(u"\u4e2dQUJDRA==");
  SetAnsiCodePage(0);
  // Groups "\xd6\xd0QU" (strays take 0) and "JDRA"; the trailing "==" is a partial group.
  const auto expected = DecodeBase64(std::string("\xd6\xd0QUJDRA=="));
  EXPECT_EQ(decoded, BytesToUtf16(expected.data(), expected.size()));
  EXPECT_EQ(ToHex(expected), "000414243440");
}

}  // namespace
}  // namespace setup
