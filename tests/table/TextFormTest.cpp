#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/Errors.h"
#include "table/DataTable.h"
#include "tests/table/TableTestSupport.h"

namespace setup {
namespace {

using namespace std::string_literals;
using testing_support::Cells;
using testing_support::StoredCells;
using testing_support::StoredRows;

struct TextFormCase {
  const char* name;
  std::u16string text;
  std::optional<Cells> property;  // nullopt: the property row loaded before stays
  std::vector<Cells> rows;
};

class TextFormTest : public testing::TestWithParam<TextFormCase> {};

const Cells kEarlierProperty = {u"keep", u"me"};

TEST_P(TextFormTest, ParsesIntoPropertyRowAndRows) {
  const TextFormCase& c = GetParam();
  TDataTable table;
  table.Init(u"#keep,me#");
  table.Init(c.text);

  EXPECT_EQ(StoredCells(table.PropertyRow()), c.property.value_or(kEarlierProperty));
  EXPECT_EQ(StoredRows(table), c.rows);
  EXPECT_EQ(TDataTable::RowCountOf(c.text), c.rows.size());
  for (int i = 0; i < table.ItemCount(); ++i) {
    EXPECT_EQ(table.Items(i).Id(), i + 1);
    EXPECT_EQ(table.Items(i).Parent(), &table);
    EXPECT_EQ(table.Items(i).GetIndex(), i);
    for (int column = 0; column < table.Items(i).ItemCount(); ++column) {
      EXPECT_EQ(table.Items(i).Items(column).GetIndex(), column);
    }
  }
  EXPECT_EQ(table.PropertyRow().Id(), 0);
  EXPECT_EQ(table.PropCount(), static_cast<int>(c.property.value_or(kEarlierProperty).size()));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TextFormTest,
    testing::Values(
        TextFormCase{"Empty", u"", std::nullopt, {{u""}}},
        TextFormCase{"TwoRows", u"a,b|c", std::nullopt, {{u"a", u"b"}, {u"c"}}},
        TextFormCase{"TrailingSeparators", u"a,|", std::nullopt, {{u"a", u""}, {u""}}},
        TextFormCase{"LeadingBar", u"|a", std::nullopt, {{u""}, {u"a"}}},
        TextFormCase{"PropertyAndRow", u"#N,5#x,y", Cells{u"N", u"5"}, {{u"x", u"y"}}},
        TextFormCase{"PropertyOnly", u"#N,5#", Cells{u"N", u"5"}, {}},
        TextFormCase{"EmptyPropertyBlock", u"##", Cells{u""}, {}},
        TextFormCase{"UnpairedHash", u"#a,b", std::nullopt, {{u"#a", u"b"}}},
        TextFormCase{"LoneHash", u"#", std::nullopt, {{u"#"}}},
        TextFormCase{"ThreeHashes", u"###", Cells{u""}, {{u"#"}}},
        TextFormCase{"HashesInRows", u"x#y#z", std::nullopt, {{u"x#y#z"}}},
        TextFormCase{"PropertyThenTwoEmptyRows", u"#p#|", Cells{u"p"}, {{u""}, {u""}}},
        TextFormCase{"EmptyLastCell", u"a,b,|c", std::nullopt, {{u"a", u"b", u""}, {u"c"}}},
        TextFormCase{"SpacesKept", u"a , b", std::nullopt, {{u"a ", u" b"}}},
        TextFormCase{"EscapesAndLineBreaksAreOrdinary", u"a\x1A\x1B,b\r\nc", std::nullopt, {{u"a\x1A\x1B", u"b\r\nc"}}},
        TextFormCase{"NulEndsRows", u"a,b\0,c|d"s, std::nullopt, {{u"a", u"b"}}},
        TextFormCase{"LeadingNul", u"\0x"s, std::nullopt, {{u""}}},
        TextFormCase{"NulInPropertyBlock", u"#p\0q,r#s"s, Cells{u"p"}, {{u"s"}}},
        TextFormCase{"NulAfterPropertyBlock", u"#a#\0"s, Cells{u"a"}, {{u""}}}),
    testing_support::CaseName());

TEST(TextForm, ConstructionGivesTenEmptyPropertyCells) {
  TDataTable table(u"key", TColumnSet{1});
  EXPECT_EQ(StoredCells(table.PropertyRow()), Cells(10));
  EXPECT_EQ(table.PropCount(), 10);
  EXPECT_EQ(table.ItemCount(), 0);
  EXPECT_TRUE(table.PropertyRow().IsProp());
  EXPECT_EQ(table.PropertyRow().Parent(), &table);
  EXPECT_FALSE(table.PropertyRow().DataChanged());
  EXPECT_FALSE(table.DataChanged());
  EXPECT_EQ(table.Key(), u"key");
  EXPECT_EQ(table.KeyCustom(), u"");
  EXPECT_EQ(table.IOMode(), 2);
  EXPECT_EQ(table.RowIndex(), -1);
  EXPECT_EQ(table.ColIndex(), -1);
  EXPECT_TRUE(table.ConvertSet().Contains(1));
  EXPECT_FALSE(table.ConvertSet().Contains(0));
  EXPECT_TRUE(table.ReserveLFSet().Empty());
  EXPECT_FALSE(table.InBatch());
}

TEST(TextForm, InitReplacesEarlierRowsAndRestartsIds) {
  TDataTable table;
  table.Init(u"a|b|c");
  table.Init(u"x|y");
  EXPECT_EQ(StoredRows(table), (std::vector<Cells>{{u"x"}, {u"y"}}));
  EXPECT_EQ(table.Items(0).Id(), 1);
  EXPECT_EQ(table.Items(1).Id(), 2);
  EXPECT_EQ(table.IndexOfId(2), 1);
  EXPECT_EQ(table.IndexOfId(3), -1);
}

TEST(TextForm, NameAndValueLiveInThePropertyRow) {
  TDataTable table;
  table.Init(u"#Files,$10#a");
  EXPECT_EQ(table.Name(), u"Files");
  EXPECT_EQ(table.Value(), 16);
  table.SetName(u"Other");
  table.SetValue(-4);
  EXPECT_EQ(StoredCells(table.PropertyRow()), (Cells{u"Other", u"-4"}));

  table.Init(u"#OnlyName#");
  try {
    table.Value();
    ADD_FAILURE() << "no error for a property row of one cell";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), u"List index out of bounds (1)");
  }
}

struct RowInitCase {
  const char* name;
  std::u16string text;
  char16_t separator;
  Cells cells;
};

class RowInitTest : public testing::TestWithParam<RowInitCase> {};

TEST_P(RowInitTest, SplitsAtTheSeparator) {
  const RowInitCase& c = GetParam();
  TRow row;
  row.Init(u"old,cells", u',');
  row.Init(c.text, c.separator);
  EXPECT_EQ(StoredCells(row), c.cells);
  for (int i = 0; i < row.ItemCount(); ++i) EXPECT_EQ(row.Items(i).Parent(), &row);
}

INSTANTIATE_TEST_SUITE_P(Cases, RowInitTest,
                         testing::Values(RowInitCase{"Empty", u"", u',', {u""}},
                                         RowInitCase{"OnlySeparator", u",", u',', {u"", u""}},
                                         RowInitCase{"Semicolons", u"a;b,c;", u';', {u"a", u"b,c", u""}},
                                         RowInitCase{"NulEnds", u"a;b\0;c"s, u';', {u"a", u"b"}},
                                         RowInitCase{"NulFirst", u"\0;c"s, u';', {u""}},
                                         RowInitCase{"NineCommas", u",,,,,,,,,", u',', Cells(10)}),
                         testing_support::CaseName());

}  // namespace
}  // namespace setup
