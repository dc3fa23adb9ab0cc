#include <gtest/gtest.h>

#include <array>
#include <string>

#include "pe/IconGroup.h"
#include "pe/PeErrors.h"
#include "pe/VersionInfo.h"

namespace setup::pe {
namespace {

// An icon file with a 16x16 image of 4 bytes and a 32x32 image of 3 bytes.
const Bytes kTwoImageIco = {
    0,    0,    1,    0,    2,    0,                                       // header
    16,   16,   0,    0,    1,    0,    32,   0, 4, 0, 0, 0, 38, 0, 0, 0,  // entry: 4 bytes at 38
    32,   32,   0,    0,    1,    0,    32,   0, 3, 0, 0, 0, 42, 0, 0, 0,  // entry: 3 bytes at 42
    0xA1, 0xA2, 0xA3, 0xA4, 0xB1, 0xB2, 0xB3,
};

TEST(IconGroup, ReplacesAGroupAndTakesTheLowestFreeIds) {
  ResourceTree tree;
  const Bytes oneImageGroup = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 9, 0, 0, 0, 1, 0};
  tree.Set(rt::kIcon, 1, kLangNeutral, Bytes(9, 0x11));
  tree.Set(rt::kGroupIcon, u"APPICON", kLangNeutral, oneImageGroup);
  tree.Set(rt::kIcon, 2, kLangNeutral, Bytes(9, 0x22));
  tree.Set(rt::kGroupIcon, u"MAINICON", kLangNeutral,
           Bytes{0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 9, 0, 0, 0, 2, 0});

  SetIconGroup(tree, u"AppIcon", kLangNeutral, kTwoImageIco);

  const Bytes expectedGroup = {0,  0,  1, 0, 2, 0,                            //
                               16, 16, 0, 0, 1, 0, 32, 0, 4, 0, 0, 0, 1, 0,   // image 1
                               32, 32, 0, 0, 1, 0, 32, 0, 3, 0, 0, 0, 3, 0};  // image 3
  ASSERT_NE(tree.Find(rt::kGroupIcon, u"APPICON", kLangNeutral), nullptr);
  EXPECT_EQ(*tree.Find(rt::kGroupIcon, u"APPICON", kLangNeutral), expectedGroup);
  EXPECT_EQ(*tree.Find(rt::kIcon, 1, kLangNeutral), (Bytes{0xA1, 0xA2, 0xA3, 0xA4}));
  EXPECT_EQ(*tree.Find(rt::kIcon, 2, kLangNeutral), Bytes(9, 0x22));  // the other group's image stays
  EXPECT_EQ(*tree.Find(rt::kIcon, 3, kLangNeutral), (Bytes{0xB1, 0xB2, 0xB3}));
  EXPECT_EQ(tree.FindType(rt::kIcon)->size(), 3u);
}

TEST(IconGroup, RefusesWhatIsNotAnIconFile) {
  ResourceTree tree;
  Bytes cut = kTwoImageIco;
  cut.pop_back();
  for (const Bytes& bad : {Bytes{'B', 'M', 0, 0, 0, 0}, Bytes{0, 0, 1, 0, 0, 0}, cut}) {
    EXPECT_FALSE(IsIconFile(bad));
    EXPECT_THROW(SetIconGroup(tree, u"APPICON", kLangNeutral, bad), EPeFormatError);
  }
  EXPECT_TRUE(IsIconFile(kTwoImageIco));
}

struct VersionCase {
  const char16_t* text;
  std::array<std::uint16_t, 4> numbers;
};

class VersionText : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionText, GivesItsLeadingNumbers) { EXPECT_EQ(VersionNumbers(GetParam().text), GetParam().numbers); }

INSTANTIATE_TEST_SUITE_P(Texts, VersionText,
                         testing::Values(VersionCase{u"2.30", {2, 30, 0, 0}}, VersionCase{u"1.2.3.4.5", {1, 2, 3, 4}},
                                         VersionCase{u"beta", {0, 0, 0, 0}}, VersionCase{u"3.1b", {3, 1, 0, 0}},
                                         VersionCase{u"70000.1", {65535, 1, 0, 0}}, VersionCase{u"", {0, 0, 0, 0}}));

std::size_t FindUtf16(const Bytes& bytes, std::u16string_view text) {
  Bytes needle;
  for (const char16_t c : text)
    needle.insert(needle.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
  const auto found = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
  return found == bytes.end() ? std::u16string_view::npos : static_cast<std::size_t>(found - bytes.begin());
}

TEST(VersionInfo, HasTheFixedPartAndTheStrings) {
  const Bytes block =
      BuildVersionInfo({u"Velmora Glyphor", u"2.30", u"Velmora Software", u"Setup of the product", u"Setup.exe", u""});
  EXPECT_EQ(ReadLE16(block, 0, u"test"), block.size());
  EXPECT_EQ(ReadLE16(block, 2, u"test"), 52);  // the fixed part's size
  EXPECT_EQ(FindUtf16(block, u"VS_VERSION_INFO"), 6u);
  EXPECT_EQ(ReadLE32(block, 40, u"test"), 0xFEEF04BDu);  // after the key, padded to 32 bits
  EXPECT_EQ(ReadLE32(block, 48, u"test"), 0x0002001Eu);  // file version 2.30
  EXPECT_EQ(ReadLE32(block, 52, u"test"), 0u);
  EXPECT_NE(FindUtf16(block, u"040904B0"), std::u16string_view::npos);
  const std::size_t name = FindUtf16(block, u"ProductName");
  ASSERT_NE(name, std::u16string_view::npos);
  // The value follows the key's terminator, padded to 32 bits; its length counts the terminator.
  EXPECT_EQ(ReadLE16(block, name - 4, u"test"), 16u);
  const std::size_t value = (name + 2 * 12 + 3) / 4 * 4;
  EXPECT_EQ(FindUtf16(block, u"Velmora Glyphor"), value);
  EXPECT_EQ(FindUtf16(block, u"LegalCopyright"), std::u16string_view::npos);  // empty fields are left out
  EXPECT_NE(FindUtf16(block, u"Translation"), std::u16string_view::npos);
  EXPECT_EQ(block.size() % 2, 0u);
}

}  // namespace
}  // namespace setup::pe
