#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Errors.h"
#include "table/DataTable.h"
#include "table/DataTables.h"
#include "tests/table/TableTestSupport.h"

namespace setup {
namespace {

using testing_support::Cells;
using testing_support::StoredCells;
using testing_support::StoredRows;

TEST(Ownership, AdoptedRowBelongsToTheTable) {
  TDataTable table;
  auto row = std::make_unique<TRow>();
  row->Init(u"a,b", u',');
  EXPECT_EQ(row->Id(), -1);
  TRow* raw = row.get();
  TRow& added = table.AddItem(std::move(row));
  EXPECT_EQ(&added, raw);
  EXPECT_EQ(added.Parent(), &table);
  EXPECT_EQ(added.Id(), 1);
  EXPECT_EQ(added.GetIndex(), 0);
}

TEST(Ownership, CopiedRowStaysWithItsOwner) {
  TDataTable source;
  source.Init(u"a,b|c");
  source.Items(1).SetTag(7);
  TDataTable target;
  target.Init(u"x");

  TRow& copy = target.AddItem(source.Items(1));
  EXPECT_EQ(source.ItemCount(), 2);
  EXPECT_EQ(source.Items(1).Parent(), &source);
  EXPECT_EQ(source.Items(1).Id(), 2);
  EXPECT_EQ(copy.Parent(), &target);
  EXPECT_EQ(copy.Id(), 2);
  EXPECT_EQ(copy.Tag(), 0);
  EXPECT_EQ(StoredCells(copy), Cells{u"c"});
}

TEST(Ownership, CountedReferenceIsReleasedWithTheRow) {
  auto payload = std::make_shared<int>(5);
  std::weak_ptr<int> watch = payload;
  int unowned = 3;
  {
    TDataTable table;
    table.Init(u"a");
    table.Items(0).SetIData(std::move(payload));
    table.Items(0).SetData(&unowned);  // never owned: freeing it would show under the sanitizer
    EXPECT_FALSE(watch.expired());
    table.Clear();
    EXPECT_TRUE(watch.expired());
  }
  EXPECT_EQ(unowned, 3);
}

TEST(Ownership, DestroyingTheFamilyNotifiesNothing) {
  int calls = 0;
  {
    TDataTables tables;
    auto table = std::make_unique<TDataTable>();
    table->Init(u"a,b|c");
    table->SetOnDataChanged([&calls](TDataTable&, TDataTableChangeMode, TRow*, TCell*, int, int) { ++calls; });
    table->Items(0).SetOnDataChanged([&calls](TRow&, TDataTableChangeMode, TCell*) { ++calls; });
    tables.AddItem(std::move(table));
    tables.SetOnDataChanged([&calls](TDataTables&, TDataTableChangeMode, int, TDataTable*, int) { ++calls; });
  }
  EXPECT_EQ(calls, 0);
}

TEST(Ownership, RefParentTakesThePlaceOfParent) {
  TDataTable owner;
  owner.Init(u"a|b");
  TDataTable viewer(u"V", {});
  viewer.Init(u"x");
  std::vector<TDataTableChangeMode> seen;
  viewer.SetOnDataChanged(
      [&seen](TDataTable&, TDataTableChangeMode mode, TRow*, TCell*, int, int) { seen.push_back(mode); });
  int ownerEvents = 0;
  owner.SetOnDataChanged([&ownerEvents](TDataTable&, TDataTableChangeMode, TRow*, TCell*, int, int) { ++ownerEvents; });

  TRow& row = owner.Items(1);
  row.SetRefParent(&viewer);
  EXPECT_EQ(row.GetIndex(), -1);  // the viewer does not hold it
  row.Items(0).SetText(u"y");
  EXPECT_EQ(seen, std::vector<TDataTableChangeMode>{TDataTableChangeMode::cmCellEdit});
  EXPECT_EQ(ownerEvents, 0);
}

struct OutOfBoundsCase {
  const char* name;
  std::function<void()> access;
  const char16_t* message;
};

class OutOfBoundsTest : public testing::TestWithParam<OutOfBoundsCase> {};

TEST_P(OutOfBoundsTest, RaisesListError) {
  try {
    GetParam().access();
    ADD_FAILURE() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, OutOfBoundsTest,
                         testing::Values(OutOfBoundsCase{"RowPastEnd",
                                                         [] {
                                                           TRow row;
                                                           row.Init(u"a,b", u',');
                                                           row.Items(2);
                                                         },
                                                         u"List index out of bounds (2)"},
                                         OutOfBoundsCase{"RowNegative",
                                                         [] {
                                                           TRow row;
                                                           row.Init(u"a", u',');
                                                           row.Items(-1);
                                                         },
                                                         u"List index out of bounds (-1)"},
                                         OutOfBoundsCase{"ClearedRow",
                                                         [] {
                                                           TRow row;
                                                           row.Init(u"a", u',');
                                                           row.Clear();
                                                           std::as_const(row).Items(0);
                                                         },
                                                         u"List index out of bounds (0)"},
                                         OutOfBoundsCase{"TablePastEnd",
                                                         [] {
                                                           TDataTable table;
                                                           table.Init(u"a|b|c");
                                                           table.Items(3);
                                                         },
                                                         u"List index out of bounds (3)"},
                                         OutOfBoundsCase{"EmptyTable",
                                                         [] {
                                                           const TDataTable table;
                                                           table.Items(0);
                                                         },
                                                         u"List index out of bounds (0)"},
                                         OutOfBoundsCase{"TableName",
                                                         [] {
                                                           TDataTable table;
                                                           table.PropertyRow().Clear();
                                                           table.Name();
                                                         },
                                                         u"List index out of bounds (0)"},
                                         OutOfBoundsCase{"Collection",
                                                         [] {
                                                           TDataTables tables;
                                                           tables.AddItem(std::make_unique<TDataTable>());
                                                           tables.Items(1);
                                                         },
                                                         u"List index out of bounds (1)"},
                                         OutOfBoundsCase{"CollectionNegative",
                                                         [] {
                                                           const TDataTables tables;
                                                           tables.Items(-5);
                                                         },
                                                         u"List index out of bounds (-5)"}),
                         testing_support::CaseName());

struct AssignCase {
  const char* name;
  std::function<void()> assign;
  const char16_t* message;
};

class AssignErrorTest : public testing::TestWithParam<AssignCase> {};

TEST_P(AssignErrorTest, RaisesConvertError) {
  try {
    GetParam().assign();
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, AssignErrorTest,
                         testing::Values(AssignCase{"TableToCollection",
                                                    [] {
                                                      TDataTables tables;
                                                      tables.Assign(TDataTable());
                                                    },
                                                    u"Cannot assign a TDataTable to a TDataTables"},
                                         AssignCase{"RowToCollection",
                                                    [] {
                                                      TDataTables tables;
                                                      tables.Assign(TRow());
                                                    },
                                                    u"Cannot assign a TRow to a TDataTables"},
                                         AssignCase{"TableToTable",
                                                    [] {
                                                      TDataTable table;
                                                      table.Assign(TDataTable());
                                                    },
                                                    u"Cannot assign a TDataTable to a TDataTable"},
                                         AssignCase{"CollectionToRow",
                                                    [] {
                                                      TRow row;
                                                      row.Assign(TDataTables());
                                                    },
                                                    u"Cannot assign a TDataTables to a TRow"}),
                         testing_support::CaseName());

TEST(Copying, RowWithoutCellsCopiesAsOneEmptyCell) {
  TRow empty;
  TRow target;
  target.Init(u"x,y", u',');
  target.CopyFrom(empty);
  EXPECT_EQ(StoredCells(target), Cells{u""});
}

TEST(Copying, RowCopiesStoredTextsVerbatim) {
  TDataTable source(u"", TColumnSet{0});
  source.Init(
      u"a\x1A"
      u"b,\t");
  TDataTable plain;
  plain.Init(u"old");
  plain.Items(0).CopyFrom(source.Items(0));
  EXPECT_EQ(StoredCells(plain.Items(0)), (Cells{u"a\x1A"
                                                u"b",
                                                u"\t"}));
  EXPECT_EQ(plain.Items(0).Id(), 1);
}

TEST(Copying, RowCopiedFromItselfKeepsItsTexts) {
  TRow row;
  row.Init(u"a,b,c", u',');
  row.CopyFrom(row);
  EXPECT_EQ(StoredCells(row), (Cells{u"a", u"b", u"c"}));
}

TEST(Copying, TableCopyTakesRowsUpToMaxCountWithNewIds) {
  TDataTable source;
  source.Init(u"#src,1#a|b|c");
  TDataTable target;
  target.Init(u"#own#x|y|z|w");

  target.CopyFrom(source, false, 2);
  EXPECT_EQ(StoredRows(target), (std::vector<std::vector<std::u16string>>{{u"a"}, {u"b"}}));
  EXPECT_EQ(StoredCells(target.PropertyRow()), Cells{u"own"});
  EXPECT_EQ(target.Items(0).Id(), 1);
  EXPECT_EQ(target.Items(1).Id(), 2);

  target.CopyFrom(source, true, 0);
  EXPECT_EQ(target.ItemCount(), 3);
  EXPECT_EQ(StoredCells(target.PropertyRow()), (Cells{u"src", u"1"}));
  EXPECT_EQ(target.Items(2).Id(), 3);
  EXPECT_EQ(source.ItemCount(), 3);
  EXPECT_EQ(source.Items(0).Parent(), &source);
}

TEST(Copying, TableCopiedFromItselfKeepsItsRows) {
  TDataTable table;
  table.Init(u"#p,q#a,b|c");
  table.CopyFrom(table, true, 0);
  EXPECT_EQ(StoredRows(table), (std::vector<std::vector<std::u16string>>{{u"a", u"b"}, {u"c"}}));
  EXPECT_EQ(StoredCells(table.PropertyRow()), (Cells{u"p", u"q"}));
  EXPECT_EQ(table.Items(1).Id(), 2);
}

TEST(Clearing, RowIdsRestartAndThePropertyRowStays) {
  TDataTable table;
  table.Init(u"#keep#a|b|c");
  table.Clear();
  EXPECT_EQ(table.ItemCount(), 0);
  EXPECT_EQ(StoredCells(table.PropertyRow()), Cells{u"keep"});
  table.AddItem(std::make_unique<TRow>());
  EXPECT_EQ(table.Items(0).Id(), 1);
}

TEST(Clearing, IdsContinueWhenNothingWasCleared) {
  TDataTable table;
  table.Clear();
  table.AddItem(std::make_unique<TRow>());
  table.AddItem(std::make_unique<TRow>());
  EXPECT_EQ(table.Items(1).Id(), 2);
}

TEST(CurrentRowAndColumn, RowIndexMarksOneRow) {
  TDataTable table;
  table.Init(u"a|b|c");
  table.SetRowIndex(1);
  EXPECT_EQ(table.RowIndex(), 1);
  EXPECT_TRUE(table.Items(1).IsIndex());
  table.SetRowIndex(2);
  EXPECT_FALSE(table.Items(1).IsIndex());
  EXPECT_TRUE(table.Items(2).IsIndex());
  table.SetRowIndex(3);
  EXPECT_EQ(table.RowIndex(), -1);
  EXPECT_FALSE(table.Items(2).IsIndex());
}

struct ColIndexCase {
  const char16_t* text;  // nullptr: a table without rows
  int written;
  int read;
};

class ColIndexTest : public testing::TestWithParam<ColIndexCase> {};

TEST_P(ColIndexTest, FollowsTheFirstRow) {
  TDataTable table;
  if (GetParam().text) table.Init(GetParam().text);
  table.SetColIndex(GetParam().written);
  EXPECT_EQ(table.ColIndex(), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Cases, ColIndexTest,
                         testing::Values(ColIndexCase{nullptr, 0, -1}, ColIndexCase{u"a,b,c|d", 2, 2},
                                         ColIndexCase{u"a,b,c|d", 3, -1}, ColIndexCase{u"a,b,c|d", -2, -1},
                                         ColIndexCase{u"a|d,e,f", 1, -1}, ColIndexCase{u"a", 0, 0}));

TEST(TableProperties, FileNameAndUserFields) {
  TDataTable table(u"k", {});
  table.SetFileName(u"files.txt");
  table.SetFileName(u"files.txt");
  table.SetKeyCustom(u"custom");
  table.SetTag(-9);
  EXPECT_EQ(table.FileName(), u"files.txt");
  EXPECT_EQ(table.KeyCustom(), u"custom");
  EXPECT_EQ(table.Tag(), -9);
  EXPECT_FALSE(table.DataChanged()) << "stored fields do not notify";
}

}  // namespace
}  // namespace setup
