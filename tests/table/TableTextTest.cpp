#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "table/TableText.h"
#include "tests/table/TableTestSupport.h"

namespace setup {
namespace {

using testing_support::Cells;
using testing_support::StoredCells;
using testing_support::StoredRows;

// A package file table as the package writer builds it, through the cell views.
TEST(WriteTableText, KnownAnswerFromABuiltTable) {
  TDataTable table(u"", TColumnSet{1});
  table.PropertyRow().Init(u",", u',');
  table.SetName(u"Files");
  table.SetValue(2);
  for (auto [folder, name, packed, size] :
       {std::tuple{u"$App$", u"a,b|c.txt", 10, 25}, std::tuple{u"$System$", u"lib.dll", 7, 9}}) {
    auto row = std::make_unique<TRow>();
    row->Init(u",,,", u',');
    TRow& added = table.AddItem(std::move(row));
    added.Items(0).SetText(folder);
    added.Items(1).SetText(name);
    added.Items(2).SetValue(packed);
    added.Items(3).SetValue(size);
  }
  const std::u16string expected =
      u"#Files,2#$App$,a\x1A"
      u"b\x1B"
      u"c.txt,10,25|$System$,lib.dll,7,9";
  EXPECT_EQ(WriteTableText(table, true), expected);
  EXPECT_EQ(WriteTableText(table, false), expected.substr(9));

  TDataTable parsed(u"", TColumnSet{1});
  parsed.Init(expected);
  EXPECT_EQ(parsed.Name(), u"Files");
  EXPECT_EQ(parsed.Value(), 2);
  EXPECT_EQ(parsed.Items(0).Items(1).Text(), u"a,b|c.txt");
  EXPECT_EQ(parsed.Items(1).Items(3).Value(), 9);
}

struct RoundTripCase {
  const char* name;
  const char16_t* text;
  bool includeProperties;
};

class TableTextRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

// Text -> table -> the same text, and table -> text -> the same cells.
TEST_P(TableTextRoundTripTest, WritesWhatInitReads) {
  const RoundTripCase& c = GetParam();
  TDataTable table;
  table.Init(c.text);
  const std::u16string written = WriteTableText(table, c.includeProperties);
  EXPECT_EQ(written, c.text);

  TDataTable reread;
  reread.Init(written);
  EXPECT_EQ(StoredRows(reread), StoredRows(table));
  if (c.includeProperties) {
    EXPECT_EQ(StoredCells(reread.PropertyRow()), StoredCells(table.PropertyRow()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableTextRoundTripTest,
    testing::Values(RoundTripCase{"OneEmptyCell", u"", false}, RoundTripCase{"TwoRows", u"a,b|c", false},
                    RoundTripCase{"EmptyCells", u",|,,|", false}, RoundTripCase{"Spaces", u" a , b ", false},
                    RoundTripCase{"HashOnlyOnce", u"#a,b", false}, RoundTripCase{"HashLater", u"a#,b#", false},
                    RoundTripCase{"Escapes", u"a\x1A\x1B,\r\n", false},
                    RoundTripCase{"PropertiesAndRows", u"#N,5#x,y|z", true},
                    RoundTripCase{"PropertiesWithoutRows", u"#N,5#", true},
                    RoundTripCase{"EmptyPropertyBlock", u"##", true},
                    RoundTripCase{"RowsWithHashes", u"#p#a#b|#", true}, RoundTripCase{"TwoEmptyRows", u"#p#|", true},
                    RoundTripCase{"BarInPropertyBlock", u"#a|b,|#x", true}),
    testing_support::CaseName());

TEST(WriteTableText, DefaultPropertyRowIsTenEmptyCells) {
  TDataTable table;
  table.Init(u"a");
  EXPECT_EQ(WriteTableText(table, true), u"#,,,,,,,,,#a");
}

struct UnwritableCase {
  const char* name;
  std::function<void(TDataTable&)> shape;
  bool includeProperties;
  const char16_t* message;
};

class TableTextUnwritableTest : public testing::TestWithParam<UnwritableCase> {};

TEST_P(TableTextUnwritableTest, RaisesInsteadOfWritingAnotherTable) {
  const UnwritableCase& c = GetParam();
  TDataTable table(u"", TColumnSet{1});
  table.Init(u"a,b|c,d");
  c.shape(table);
  try {
    WriteTableText(table, c.includeProperties);
    ADD_FAILURE() << "no error";
  } catch (const ETableTextError& e) {
    EXPECT_EQ(e.Message(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableTextUnwritableTest,
    testing::Values(
        UnwritableCase{"CommaInPlainColumn", [](TDataTable& target) { target.Items(1).Items(0).SetText(u"x,y"); },
                       false, u"The table text cannot hold cell 0 of row 1: it contains a separator"},
        UnwritableCase{"BarInPlainColumn", [](TDataTable& target) { target.Items(0).Items(0).SetText(u"x|y"); }, true,
                       u"The table text cannot hold cell 0 of row 0: it contains a separator"},
        UnwritableCase{"NulInPlainColumn",
                       [](TDataTable& target) { target.Items(0).Items(0).SetText(std::u16string(u"x\0y", 3)); }, false,
                       u"The table text cannot hold cell 0 of row 0: it contains a separator"},
        UnwritableCase{"CommaStoredInConvertedColumn",
                       [](TDataTable& target) { target.Items(0).Items(1).SetStoredText(u"x,y"); }, false,
                       u"The table text cannot hold cell 1 of row 0: it contains a separator"},
        UnwritableCase{"HashInPropertyRow", [](TDataTable& target) { target.SetName(u"a#b"); }, true,
                       u"The table text cannot hold cell 0 of the property row: it contains a separator"},
        UnwritableCase{"CommaInPropertyRow", [](TDataTable& target) { target.SetName(u"a,b"); }, true,
                       u"The table text cannot hold cell 0 of the property row: it contains a separator"},
        UnwritableCase{"RowWithoutCells", [](TDataTable& target) { target.Items(1).Clear(); }, false,
                       u"The table text cannot hold row 1: it has no cells"},
        UnwritableCase{"PropertyRowWithoutCells", [](TDataTable& target) { target.PropertyRow().Clear(); }, true,
                       u"The table text cannot hold the property row: it has no cells"},
        UnwritableCase{"NoRowsWithoutProperties", [](TDataTable& target) { target.Clear(); }, false,
                       u"The table text cannot hold a table without rows unless it has a property block"},
        UnwritableCase{"SingleEmptyRowWithProperties", [](TDataTable& target) { target.Init(u""); }, true,
                       u"The table text cannot hold a single empty row after its property block"},
        UnwritableCase{"RowsLookLikeAPropertyBlock", [](TDataTable& target) { target.Init(u"#p##a|b#"); }, false,
                       u"The table text would be read with a property block: write it with its property row"}),
    testing_support::CaseName());

TEST(WriteTableText, UnwritableShapesAreWritableTheOtherWay) {
  TDataTable empty;
  empty.Clear();
  EXPECT_EQ(WriteTableText(empty, true), u"#,,,,,,,,,#");
  TDataTable single;
  single.Init(u"");
  EXPECT_EQ(WriteTableText(single, false), u"");
  TDataTable hashes;
  hashes.Init(u"#p##a|b#");
  EXPECT_EQ(StoredRows(hashes), (std::vector<Cells>{{u"#a"}, {u"b#"}}));
  EXPECT_EQ(WriteTableText(hashes, true), u"#p##a|b#");
}

}  // namespace
}  // namespace setup
