#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pe/PeErrors.h"
#include "pe/ResourceSection.h"

namespace setup::pe {
namespace {

TEST(ResourceSection, OneNamedResourceHasTheDocumentedBytes) {
  ResourceTree tree;
  tree.Set(rt::kRcData, u"ab", kLangNeutral, {1, 2, 3});
  const Bytes expected = {
      0,    0,    0,   0,    0,    0, 0, 0,    0, 0, 0, 0, 0, 0, 1, 0,  // root: one numbered type
      10,   0,    0,   0,    0x18, 0, 0, 0x80,                          // RT_RCDATA -> directory at 24
      0,    0,    0,   0,    0,    0, 0, 0,    0, 0, 0, 0, 1, 0, 0, 0,  // type directory: one named entry
      0x58, 0,    0,   0x80, 0x30, 0, 0, 0x80,                          // name at 88 -> directory at 48
      0,    0,    0,   0,    0,    0, 0, 0,    0, 0, 0, 0, 0, 0, 1, 0,  // language directory
      0,    0,    0,   0,    0x48, 0, 0, 0,                             // neutral -> data entry at 72
      0x60, 0x10, 0,   0,    3,    0, 0, 0,    0, 0, 0, 0, 0, 0, 0, 0,  // data at RVA 0x1060, 3 bytes
      2,    0,    'A', 0,    'B',  0, 0, 0,                             // the name, upper case, padded
      1,    2,    3,   0,    0,    0, 0, 0,                             // the data, padded to 8
  };
  EXPECT_EQ(WriteResourceSection(tree, 0x1000), expected);
}

// The root directory's keys as written: "NAME" or "#id".
std::vector<std::u16string> RootKeys(const Bytes& section) {
  const std::size_t count = static_cast<std::size_t>(section[12] | section[13] << 8) + (section[14] | section[15] << 8);
  std::vector<std::u16string> keys;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 16 + 8 * i;
    const std::uint32_t key = ReadLE32(section, at, u"test");
    if (key & 0x80000000u) {
      const std::size_t name = key & 0x7FFFFFFFu;
      std::u16string text;
      for (std::size_t k = 0; k < ReadLE16(section, name, u"test"); ++k)
        text.push_back(static_cast<char16_t>(ReadLE16(section, name + 2 + 2 * k, u"test")));
      keys.push_back(text);
    } else {
      keys.push_back(std::u16string{u'#', static_cast<char16_t>(u'0' + key % 10)});
    }
  }
  return keys;
}

struct OrderCase {
  const char* label;
  std::vector<ResourceKey> inserted;
  std::vector<std::u16string> expected;
};

class ResourceOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(ResourceOrder, NamesComeFirstWithoutCaseThenIdsAscending) {
  ResourceTree tree;
  for (const ResourceKey& key : GetParam().inserted) tree.Set(key, 1, kLangNeutral, {7});
  EXPECT_EQ(RootKeys(WriteResourceSection(tree, 0x4000)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, ResourceOrder,
                         testing::Values(OrderCase{"ids", {9, 3, 6}, {u"#3", u"#6", u"#9"}},
                                         OrderCase{"mixed", {7, u"b", 3, u"A"}, {u"A", u"B", u"#3", u"#7"}},
                                         OrderCase{"case", {u"stpFile", u"Rcx", u"STPFILE"}, {u"RCX", u"STPFILE"}},
                                         OrderCase{"prefix", {u"AB", u"A", u"ABC"}, {u"A", u"AB", u"ABC"}}),
                         [](const auto& item) { return std::string(item.param.label); });

TEST(ResourceSection, ReadsBackWhatItWrote) {
  ResourceTree tree;
  tree.Set(rt::kRcData, u"ImageLeft0", kLangNeutral, {1, 2, 3, 4, 5});
  tree.Set(rt::kBitmap, u"ImageIcon", kLangNeutral, Bytes(40, 9));
  tree.Set(u"STPFILE", u"SETUPPACKAGE", kLangChineseSimplified, {0xAA});
  tree.Set(rt::kString, 63, kLangNeutral, Bytes(36, 0));
  tree.Set(rt::kString, 63, kLangEnglishUs, Bytes(32, 0));
  const Bytes section = WriteResourceSection(tree, 0x7000);
  EXPECT_EQ(ReadResourceSection(section, 0x7000), tree);
}

struct DamageCase {
  const char* label;
  std::size_t at;
  std::uint8_t value;
  const char16_t* message;
};

class DamagedSection : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedSection, IsRefused) {
  ResourceTree tree;
  tree.Set(rt::kRcData, 5, kLangNeutral, {1, 2, 3});
  Bytes section = WriteResourceSection(tree, 0x1000);
  section[GetParam().at] = GetParam().value;
  try {
    (void)ReadResourceSection(section, 0x1000);
    FAIL() << "accepted";
  } catch (const EPeFormatError& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
}

// Root at 0, type directory at 24, language directory at 48, data entry at 72.
INSTANTIATE_TEST_SUITE_P(
    Bytes, DamagedSection,
    testing::Values(DamageCase{"directory_offset", 20, 0xF0, u"A resource directory lies outside the file"},
                    DamageCase{"leaf_as_directory", 71, 0x80, u"The resource directory is deeper than three levels"},
                    DamageCase{"data_size", 77, 0x10, u"Resource data lies outside the file"},
                    DamageCase{"data_below_section", 73, 0x00, u"Resource data lies outside the file"}),
    [](const auto& item) { return std::string(item.param.label); });

}  // namespace
}  // namespace setup::pe
