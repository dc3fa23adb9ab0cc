#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/Convert.h"
#include "base/Errors.h"
#include "table/DataTable.h"
#include "tests/table/TableTestSupport.h"

namespace setup {
namespace {

using namespace std::string_literals;
using testing_support::EventLog;

struct EscapeCase {
  const char* name;
  int column;
  std::u16string written;
  std::u16string stored;
  std::u16string readBack;
  bool reserveLineBreaks = false;
  int ioMode = 2;
};

class CellEscapingTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(CellEscapingTest, StoresEscapedAndReadsBack) {
  const EscapeCase& c = GetParam();
  TDataTable table(u"", TColumnSet{1});
  table.Init(u"p,q,r");
  if (c.reserveLineBreaks) table.SetReserveLFSet(TColumnSet{c.column});
  table.SetIOMode(c.ioMode);
  TCell& cell = table.Items(0).Items(c.column);

  cell.SetText(c.written);
  EXPECT_EQ(cell.StoredText(), c.stored);
  EXPECT_EQ(cell.Text(), c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CellEscapingTest,
    testing::Values(
        EscapeCase{"CommaAndBarEscaped", 1, u"x,y|z", u"x\x1Ay\x1Bz", u"x,y|z"},
        EscapeCase{"PlainColumnUnchanged", 0, u"x,y|z", u"x,y|z", u"x,y|z"},
        EscapeCase{"ColumnOutsideSetUnchanged", 2, u"a\tb,c", u"a\tb,c", u"a\tb,c"},
        EscapeCase{"TabBecomesSpace", 1, u"a\tb", u"a b", u"a b"},
        EscapeCase{"LineBreaksBecomeSpaces", 1, u"a\r\nb", u"a  b", u"a  b"},
        EscapeCase{"TabKeptInReservedColumn", 1, u"a\tb", u"a\tb", u"a\tb", true},
        EscapeCase{"LineBreaksKeptByIOMode", 1, u"a\r\nb", u"a\r\nb", u"a\r\nb", false, 3},
        EscapeCase{"OtherControlsAlwaysSpaces", 1, u"\x01\x08\x0B\x0C\x0E\x1F", u"      ", u"      ", true, 3},
        EscapeCase{"EscapeCharactersWrittenDirectlyBecomeSpaces", 1, u"\x1A\x1B", u"  ", u"  "},
        EscapeCase{"CutAtNul", 1, u"ab\0,cd"s, u"ab", u"ab"},
        EscapeCase{"PlainColumnKeepsNul", 0, u"ab\0cd"s, u"ab\0cd"s, u"ab\0cd"s},
        EscapeCase{"WideCharactersKept", 1, u"\u00E9\u4E2D \u00A0", u"\u00E9\u4E2D \u00A0", u"\u00E9\u4E2D \u00A0"},
        EscapeCase{"EmptyStored", 1, u"", u"", u""}),
    testing_support::CaseName());

TEST(CellEscaping, StoredEscapesFromTheTextFormReadBack) {
  TDataTable table(u"", TColumnSet{1});
  table.Init(
      u"a\x1A"
      u"b,c\x1A"
      u"d\x1B"
      u"e");
  EXPECT_EQ(table.Items(0).Items(0).Text(),
            u"a\x1A"
            u"b");
  EXPECT_EQ(table.Items(0).Items(1).Text(), u"c,d|e");
  EXPECT_EQ(table.Items(0).Items(1).StoredText(),
            u"c\x1A"
            u"d\x1B"
            u"e");
}

TEST(CellEscaping, OnlyTheOwningTableConverts) {
  TDataTable table(u"", TColumnSet{0});
  TRow freeRow;
  freeRow.Init(u"x", u',');
  freeRow.Items(0).SetText(u"a,b");
  EXPECT_EQ(freeRow.Items(0).StoredText(), u"a,b");

  // A table that only refers to the row does not convert its cells.
  freeRow.SetRefParent(&table);
  freeRow.Items(0).SetText(u"c|d");
  EXPECT_EQ(freeRow.Items(0).StoredText(), u"c|d");

  TCell loose(nullptr);
  loose.SetText(u"e,f");
  EXPECT_EQ(loose.StoredText(), u"e,f");
  EXPECT_EQ(loose.GetIndex(), -1);
}

TEST(CellEscaping, WritingTheStoredValueAgainIsSilent) {
  TDataTable table(u"T", TColumnSet{1});
  table.Init(u"a,b");
  EventLog log;
  log.Watch(table);
  TCell& cell = table.Items(0).Items(1);
  cell.SetText(u"x,y");
  EXPECT_EQ(log.Take().size(), 1u);
  cell.SetText(u"x,y");     // escapes to the stored text
  cell.SetText(u"x\x1Ay");  // equals the stored text
  cell.SetStoredText(u"x\x1Ay");
  EXPECT_TRUE(log.Take().empty());
}

TEST(ColumnSet, HoldsColumnsUpTo103) {
  TColumnSet set{0, 103};
  EXPECT_TRUE(set.Contains(0));
  EXPECT_TRUE(set.Contains(103));
  EXPECT_FALSE(set.Contains(104));
  EXPECT_FALSE(set.Contains(-1));
  EXPECT_THROW(set.Include(104), EListError);
  EXPECT_THROW(set.Include(-1), EListError);
  set.Exclude(0);
  EXPECT_EQ(set, TColumnSet{103});
}

TEST(CellEscaping, ColumnsBeyond103AreNeverConverted) {
  TColumnSet all;
  for (int column = 0; column < TColumnSet::kColumnLimit; ++column) all.Include(column);
  TDataTable table(u"", all);
  table.Init(std::u16string(110, u','));
  table.Items(0).Items(103).SetText(u"a,b");
  table.Items(0).Items(104).SetText(u"a,b");
  EXPECT_EQ(table.Items(0).Items(103).StoredText(),
            u"a\x1A"
            u"b");
  EXPECT_EQ(table.Items(0).Items(104).StoredText(), u"a,b");
}

struct IntegerReadCase {
  const char* name;
  std::u16string stored;
  std::optional<std::int32_t> value;  // nullopt: the read fails
  std::u16string storedAfter;
};

class CellValueReadTest : public testing::TestWithParam<IntegerReadCase> {};

TEST_P(CellValueReadTest, ConvertsTheStoredText) {
  const IntegerReadCase& c = GetParam();
  TDataTable table(u"T", {});
  table.Init(u"x");
  EventLog log;
  log.Watch(table);
  TCell& cell = table.Items(0).Items(0);
  cell.SetStoredText(c.stored);
  log.Take();

  if (c.value) {
    EXPECT_EQ(cell.Value(), *c.value);
  } else {
    try {
      cell.Value();
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), u"''" + c.stored + u"'' is not a valid integer value");
    }
  }
  EXPECT_EQ(cell.StoredText(), c.storedAfter);
  EXPECT_TRUE(log.Take().empty()) << "a read never notifies";
}

INSTANTIATE_TEST_SUITE_P(Cases, CellValueReadTest,
                         testing::Values(IntegerReadCase{"EmptyReadsZeroAndKeepsIt", u"", 0, u"0"},
                                         IntegerReadCase{"Decimal", u"12", 12, u"12"},
                                         IntegerReadCase{"LeadingSpaces", u"  7", 7, u"  7"},
                                         IntegerReadCase{"Negative", u"-3", -3, u"-3"},
                                         IntegerReadCase{"Dollar", u"$1F", 31, u"$1F"},
                                         IntegerReadCase{"ZeroX", u"0x10", 16, u"0x10"},
                                         IntegerReadCase{"Largest", u"2147483647", INT32_MAX, u"2147483647"},
                                         IntegerReadCase{"TrailingLetter", u"12x", std::nullopt, u"12x"},
                                         IntegerReadCase{"Overflow", u"2147483648", std::nullopt, u"2147483648"},
                                         IntegerReadCase{"Fraction", u"1.5", std::nullopt, u"1.5"},
                                         IntegerReadCase{"Blank", u" ", std::nullopt, u" "}),
                         testing_support::CaseName());

struct BoolReadCase {
  const char* name;
  std::u16string stored;
  std::optional<bool> value;
};

class CellAsBoolReadTest : public testing::TestWithParam<BoolReadCase> {};

TEST_P(CellAsBoolReadTest, ReadsNumbersAndWords) {
  SetDecimalSeparator(u'.');
  const BoolReadCase& c = GetParam();
  TRow row;
  row.Init(c.stored, u',');
  TCell& cell = row.Items(0);
  if (c.value) {
    EXPECT_EQ(cell.AsBool(), *c.value);
  } else {
    try {
      cell.AsBool();
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), u"'" + c.stored + u"' is not a valid boolean value");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CellAsBoolReadTest,
                         testing::Values(BoolReadCase{"One", u"1", true}, BoolReadCase{"MinusOne", u"-1", true},
                                         BoolReadCase{"Seven", u"7", true}, BoolReadCase{"Half", u"0.5", true},
                                         BoolReadCase{"LowerTrue", u"true", true},
                                         BoolReadCase{"UpperTrue", u"TRUE", true}, BoolReadCase{"Zero", u"0", false},
                                         BoolReadCase{"Empty", u"", false}, BoolReadCase{"False", u"False", false},
                                         BoolReadCase{"Yes", u"yes", std::nullopt},
                                         BoolReadCase{"Letter", u"T", std::nullopt}),
                         testing_support::CaseName());

TEST(CellTypedViews, EmptyCellKeepsZeroAfterAsBool) {
  TRow row;
  row.Init(u"", u',');
  EXPECT_FALSE(row.Items(0).AsBool());
  EXPECT_EQ(row.Items(0).StoredText(), u"0");
}

struct TypedWriteCase {
  const char* name;
  std::function<void(TCell&)> write;
  std::u16string stored;
};

class CellTypedWriteTest : public testing::TestWithParam<TypedWriteCase> {};

TEST_P(CellTypedWriteTest, StoresTextWithoutEscaping) {
  const TypedWriteCase& c = GetParam();
  TDataTable table(u"T", TColumnSet{0});
  table.Init(u"x");
  EventLog log;
  log.Watch(table);
  TCell& cell = table.Items(0).Items(0);

  c.write(cell);
  EXPECT_EQ(cell.StoredText(), c.stored);
  EXPECT_EQ(log.Take(), std::vector<std::string>{"table T: cmCellEdit row 1 cell 0 -1 -1"});
  c.write(cell);
  EXPECT_TRUE(log.Take().empty()) << "the same value again is silent";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CellTypedWriteTest,
    testing::Values(TypedWriteCase{"Value", [](TCell& cell) { cell.SetValue(42); }, u"42"},
                    TypedWriteCase{"NegativeValue", [](TCell& cell) { cell.SetValue(INT32_MIN); }, u"-2147483648"},
                    TypedWriteCase{"True", [](TCell& cell) { cell.SetAsBool(true); }, u"-1"},
                    TypedWriteCase{"False", [](TCell& cell) { cell.SetAsBool(false); }, u"0"},
                    TypedWriteCase{"StoredVerbatim", [](TCell& cell) { cell.SetStoredText(u"a,\t|"); }, u"a,\t|"},
                    TypedWriteCase{"Text", [](TCell& cell) { cell.SetText(u"a,\t|"); }, u"a\x1A \x1B"}),
    testing_support::CaseName());

}  // namespace
}  // namespace setup
