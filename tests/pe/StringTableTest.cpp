#include <gtest/gtest.h>

#include "pe/PeErrors.h"
#include "pe/StringTable.h"

namespace setup::pe {
namespace {

TEST(StringTable, Id1001IsTheTenthStringOfBlock63) {
  const auto blocks = EncodeStringBlocks({{1001, u"Ab"}});
  ASSERT_EQ(blocks.size(), 1u);
  ASSERT_EQ(blocks.begin()->first, 63);
  Bytes expected(18, 0);  // nine empty strings
  expected.insert(expected.end(), {2, 0, 'A', 0, 'b', 0});
  expected.resize(expected.size() + 12, 0);  // six more
  EXPECT_EQ(blocks.begin()->second, expected);
}

TEST(StringTable, IdsOfSeveralBlocksDecodeToTheSameStrings) {
  const StringMap strings{{0, u"zero"}, {15, u"fifteen"}, {16, u"sixteen"}, {1012, u"6 MB"}, {1003, u"澜川绘影"}};
  const auto blocks = EncodeStringBlocks(strings);
  EXPECT_EQ(blocks.size(), 4u);  // blocks 1, 2, 63 and 64
  StringMap decoded;
  for (const auto& [id, bytes] : blocks) decoded.merge(DecodeStringBlock(id, bytes));
  EXPECT_EQ(decoded, strings);
}

TEST(StringTable, SetStringsReplacesSomeAndKeepsTheRest) {
  ResourceTree tree;
  SetStrings(tree, {{1001, u"old"}, {1002, u"kept"}}, kLangNeutral);
  SetStrings(tree, {{1001, u"new"}, {2000, u"far"}}, kLangNeutral);
  EXPECT_EQ(ReadStrings(tree, kLangNeutral), (StringMap{{1001, u"new"}, {1002, u"kept"}, {2000, u"far"}}));
}

TEST(StringTable, ABlockCutShortIsRefused) {
  EXPECT_THROW((void)DecodeStringBlock(1, Bytes{5, 0, 'a', 0}), EPeFormatError);
}

}  // namespace
}  // namespace setup::pe
