#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "table/DataTables.h"
#include "tests/table/TableTestSupport.h"

namespace setup {
namespace {

using testing_support::Cells;
using testing_support::EventLog;
using testing_support::StoredCells;
using testing_support::StoredRows;
using Events = std::vector<std::string>;
using Rows = std::vector<Cells>;

std::unique_ptr<TDataTable> MakeTable(std::u16string_view key, std::u16string_view text) {
  auto table = std::make_unique<TDataTable>(key, TColumnSet{1});
  table->Init(text);
  return table;
}

TEST(DataTables, AdoptsTablesAndReportsTheirIndex) {
  TDataTables tables;
  EventLog log;
  log.Watch(tables);
  TDataTable& first = tables.AddItem(MakeTable(u"A", u"a"));
  TDataTable& second = tables.AddItem(MakeTable(u"B", u"b"));
  EXPECT_EQ(first.Parent(), &tables);
  EXPECT_EQ(&tables.Items(1), &second);
  EXPECT_EQ(log.Take(), (Events{"tables: cmTableAdd 1 table A 0", "tables: cmTableAdd 1 table B 1"}));

  second.Items(0).Items(0).SetText(u"x");
  EXPECT_EQ(log.Take(), Events{"tables: cmCellEdit 1 table B 1"});
}

TEST(DataTables, CopyGetsNewIdsAndEmptyConvertSet) {
  TDataTable source(u"S", TColumnSet{1});
  source.Init(u"#src#a,b|c,d|e");
  source.AddItem(std::make_unique<TRow>());
  source.SetFileName(u"f");
  TDataTables tables;
  EventLog log;
  log.Watch(tables);

  TDataTable& copy = tables.AddItem(source);
  EXPECT_EQ(log.Take(), Events{"tables: cmTableAdd 1 table  0"});
  EXPECT_EQ(source.Parent(), nullptr);
  EXPECT_EQ(copy.Parent(), &tables);
  // A row without cells copies as one empty cell.
  EXPECT_EQ(StoredRows(copy), (Rows{{u"a", u"b"}, {u"c", u"d"}, {u"e"}, {u""}}));
  for (int i = 0; i < copy.ItemCount(); ++i) EXPECT_EQ(copy.Items(i).Id(), i + 1);
  EXPECT_TRUE(copy.ConvertSet().Empty());
  EXPECT_EQ(copy.Key(), u"");
  EXPECT_EQ(copy.FileName(), u"");
  EXPECT_EQ(StoredCells(copy.PropertyRow()), Cells(10));
}

TEST(DataTables, ClearReportsOnlyWhenTablesWentAway) {
  TDataTables tables;
  EventLog log;
  log.Watch(tables);
  tables.Clear();
  EXPECT_TRUE(log.Take().empty());
  tables.AddItem(MakeTable(u"A", u"a"));
  tables.AddItem(MakeTable(u"B", u"b"));
  log.Take();
  tables.Clear();
  EXPECT_EQ(tables.ItemCount(), 0);
  EXPECT_EQ(log.Take(), Events{"tables: cmTablesClear -1 table nil -1"});
}

TEST(DataTables, AssignCopiesTablesPropertyRowAndTag) {
  TDataTables source;
  source.AddItem(MakeTable(u"A", u"a,b"));
  source.AddItem(MakeTable(u"B", u"c|d"));
  source.PropertyRow().Init(u"name,2", u',');
  source.SetTag(12);
  source.SetFileName(u"not copied");

  TDataTables target;
  target.AddItem(MakeTable(u"old", u"z"));
  EventLog log;
  log.Watch(target);
  target.Assign(source);

  EXPECT_EQ(log.Take(), Events{"tables: cmTablesInit -1 table nil -1"});
  ASSERT_EQ(target.ItemCount(), 2);
  EXPECT_EQ(StoredRows(target.Items(0)), (Rows{{u"a", u"b"}}));
  EXPECT_EQ(StoredRows(target.Items(1)), (Rows{{u"c"}, {u"d"}}));
  EXPECT_EQ(target.Items(1).Parent(), &target);
  EXPECT_EQ(StoredCells(target.PropertyRow()), (Cells{u"name", u"2"}));
  EXPECT_EQ(target.Tag(), 12);
  EXPECT_EQ(target.FileName(), u"");
  EXPECT_EQ(source.ItemCount(), 2);
}

TEST(DataTables, CopyFromStopsAtMaxCount) {
  TDataTables source;
  for (auto text : {u"a", u"b", u"c"}) source.AddItem(MakeTable(u"", text));
  TDataTables target;
  EventLog log;
  log.Watch(target);
  target.CopyFrom(source, 2);
  EXPECT_EQ(log.Take(), Events{"tables: cmTablesInit -1 table nil -1"});
  ASSERT_EQ(target.ItemCount(), 2);
  EXPECT_EQ(StoredRows(target.Items(1)), Rows{{u"b"}});
}

TEST(DataTables, AssignedFromItselfKeepsItsTables) {
  TDataTables tables;
  tables.AddItem(MakeTable(u"A", u"a|b"));
  tables.PropertyRow().Init(u"p", u',');
  tables.Assign(tables);
  ASSERT_EQ(tables.ItemCount(), 1);
  EXPECT_EQ(StoredRows(tables.Items(0)), (Rows{{u"a"}, {u"b"}}));
  EXPECT_EQ(StoredCells(tables.PropertyRow()), Cells{u"p"});
}

TEST(DataTables, DataChangedFalseClearsEveryLevel) {
  TDataTables tables;
  TDataTable& table = tables.AddItem(MakeTable(u"A", u"a|b"));
  table.Items(0).Items(0).SetText(u"x");
  tables.PropertyRow().Items(0).SetText(u"p");
  ASSERT_TRUE(tables.DataChanged());
  ASSERT_TRUE(table.Items(0).DataChanged());

  tables.SetDataChanged(false);
  EXPECT_FALSE(tables.DataChanged());
  EXPECT_FALSE(tables.PropertyRow().DataChanged());
  EXPECT_FALSE(table.DataChanged());
  EXPECT_FALSE(table.Items(0).DataChanged());
  EXPECT_FALSE(table.Items(1).DataChanged());
}

TEST(DataTables, ConstructionAndStoredFields) {
  TDataTables tables;
  EXPECT_EQ(tables.ItemCount(), 0);
  EXPECT_EQ(StoredCells(tables.PropertyRow()), Cells(10));
  EXPECT_TRUE(tables.PropertyRow().IsProp());
  EXPECT_EQ(tables.PropertyRow().Id(), 0);
  EXPECT_FALSE(tables.DataChanged());
  tables.SetIsEncrypt(true);
  tables.SetFileName(u"set.dat");
  EXPECT_TRUE(tables.IsEncrypt());
  EXPECT_EQ(tables.FileName(), u"set.dat");
  EXPECT_FALSE(tables.DataChanged());
}

}  // namespace
}  // namespace setup
