#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "table/DataTable.h"
#include "table/DataTables.h"
#include "tests/table/TableTestSupport.h"

namespace setup {
namespace {

using testing_support::EventLog;

// A collection holding table "T" (convert set {1}) with rows 1 "a,b" and 2 "c,d"; every
// level's event is recorded.
struct Family {
  TDataTables tables;
  TDataTable* table = nullptr;  // owned by tables
  EventLog log;

  Family() {
    auto owned = std::make_unique<TDataTable>(u"T", TColumnSet{1});
    owned->Init(u"#name,1#a,b|c,d");
    table = &tables.AddItem(std::move(owned));
    log.Watch(tables);
    log.Watch(*table);
    log.Watch(table->PropertyRow());
    for (int i = 0; i < table->ItemCount(); ++i) log.Watch(table->Items(i));
  }
  TRow& Row(int index) { return table->Items(index); }
  TCell& Cell(int index, int column) { return table->Items(index).Items(column); }
};

struct NotificationCase {
  const char* name;
  std::function<void(Family&)> act;
  std::vector<std::string> events;
};

class NotificationTest : public testing::TestWithParam<NotificationCase> {};

TEST_P(NotificationTest, ReportsInOrder) {
  const NotificationCase& c = GetParam();
  Family family;
  c.act(family);
  EXPECT_EQ(family.log.Take(), c.events);
}

using Events = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Cases, NotificationTest,
    testing::Values(
        NotificationCase{
            "CellEditTravelsUp",
            [](Family& f) { f.Cell(0, 1).SetText(u"x"); },
            {"row 1: cmCellEdit cell 1", "table T: cmCellEdit row 1 cell 1 -1 -1", "tables: cmCellEdit 1 table T 0"}},
        NotificationCase{"SameTextIsSilent", [](Family& f) { f.Cell(0, 1).SetText(u"b"); }, {}},
        NotificationCase{
            "ValueWrite",
            [](Family& f) { f.Cell(1, 0).SetValue(9); },
            {"row 2: cmCellEdit cell 0", "table T: cmCellEdit row 2 cell 0 -1 -1", "tables: cmCellEdit 1 table T 0"}},
        NotificationCase{"ValueReadOfEmptyIsSilent",
                         [](Family& f) {
                           f.table->Init(u"a,");
                           f.log.Take();
                           f.Cell(0, 1).Value();
                         },
                         {}},
        NotificationCase{"PropertyEditArrivesAsPropChange",
                         [](Family& f) { f.table->SetName(u"other"); },
                         {"row 0: cmCellEdit cell 0", "table T: cmPropChange row 0 cell 0 -1 -1",
                          "tables: cmPropChange 1 table T 0"}},
        NotificationCase{"PropertyValueWrite",
                         [](Family& f) { f.table->SetValue(2); },
                         {"row 0: cmCellEdit cell 1", "table T: cmPropChange row 0 cell 1 -1 -1",
                          "tables: cmPropChange 1 table T 0"}},
        NotificationCase{"PreventEventSilencesOnlyTheTable",
                         [](Family& f) {
                           f.table->SetPreventEvent(true);
                           f.Cell(0, 0).SetText(u"x");
                         },
                         {"row 1: cmCellEdit cell 0", "tables: cmCellEdit 1 table T 0"}},
        NotificationCase{"PreventEventStillReportsPropChangeUpward",
                         [](Family& f) {
                           f.table->SetPreventEvent(true);
                           f.table->SetName(u"x");
                         },
                         {"row 0: cmCellEdit cell 0", "tables: cmPropChange 1 table T 0"}},
        NotificationCase{"RowBracketSilencesEverything",
                         [](Family& f) {
                           f.Row(0).BeginUpdate();
                           f.Cell(0, 0).SetText(u"x");
                           f.Cell(0, 1).SetText(u"y");
                         },
                         {}},
        NotificationCase{
            "RowBracketReportsOnClose",
            [](Family& f) {
              f.Row(0).BeginUpdate();
              f.Row(0).BeginUpdate();
              f.Cell(0, 0).SetText(u"x");
              f.Row(0).EndUpdate(TDataTableChangeMode::cmLoad, nullptr);
              f.Row(0).EndUpdate(TDataTableChangeMode::cmCellEdit, &f.Cell(0, 0));
            },
            {"row 1: cmCellEdit cell 0", "table T: cmCellEdit row 1 cell 0 -1 -1", "tables: cmCellEdit 1 table T 0"}},
        NotificationCase{
            "TableBracketLeavesRowEvents",
            [](Family& f) {
              f.table->BeginUpdate();
              f.Cell(0, 0).SetText(u"x");
              f.table->EndUpdate(TDataTableChangeMode::cmSort, nullptr, nullptr, 7, 8);
            },
            {"row 1: cmCellEdit cell 0", "table T: cmSort row nil cell nil 7 8", "tables: cmSort 1 table T 0"}},
        NotificationCase{
            "CollectionBracket",
            [](Family& f) {
              f.tables.BeginUpdate();
              f.Cell(0, 0).SetText(u"x");
              f.tables.EndUpdate(TDataTableChangeMode::cmLoad, 3, nullptr, -1);
            },
            {"row 1: cmCellEdit cell 0", "table T: cmCellEdit row 1 cell 0 -1 -1", "tables: cmLoad 3 table nil -1"}},
        NotificationCase{"TableInit",
                         [](Family& f) { f.table->Init(u"x|y|z"); },
                         {"table T: cmTableInit row nil cell nil -1 -1", "tables: cmTableInit 1 table T 0"}},
        NotificationCase{"TableInitWithPropertyBlock",
                         [](Family& f) { f.table->Init(u"#p#x"); },
                         {"row 0: cmRowInit cell nil", "table T: cmTableInit row nil cell nil -1 -1",
                          "tables: cmTableInit 1 table T 0"}},
        NotificationCase{"TableInitResetsRowIndex",
                         [](Family& f) {
                           f.table->SetRowIndex(1);
                           f.table->Init(u"x");
                         },
                         {"table T: row index 1", "table T: row index -1",
                          "table T: cmTableInit row nil cell nil -1 -1", "tables: cmTableInit 1 table T 0"}},
        NotificationCase{"TableClear",
                         [](Family& f) { f.table->Clear(); },
                         {"table T: cmTableClear row nil cell nil -1 -1", "tables: cmTableClear 1 table T 0"}},
        NotificationCase{"ClearOfEmptyTableIsSilent",
                         [](Family& f) {
                           f.table->Clear();
                           f.log.Take();
                           f.table->Clear();
                         },
                         {}},
        NotificationCase{"TableAddItem",
                         [](Family& f) {
                           auto row = std::make_unique<TRow>();
                           row->Init(u"e", u',');
                           f.table->AddItem(std::move(row));
                         },
                         {"table T: cmRowAdd row 3 cell nil -1 -1", "tables: cmRowAdd 1 table T 0"}},
        NotificationCase{"TableAddCopy",
                         [](Family& f) { f.table->AddItem(f.Row(0)); },
                         {"table T: cmRowAdd row 3 cell nil -1 -1", "tables: cmRowAdd 1 table T 0"}},
        NotificationCase{
            "RowAddItem",
            [](Family& f) { f.Row(1).AddItem(5); },
            {"row 2: cmCellAdd cell 2", "table T: cmCellAdd row 2 cell 2 -1 -1", "tables: cmCellAdd 1 table T 0"}},
        NotificationCase{"RowClear",
                         [](Family& f) {
                           f.Row(0).Clear();
                           f.Row(0).Clear();
                         },
                         {"row 1: cmRowClear cell nil", "table T: cmRowClear row 1 cell nil -1 -1",
                          "tables: cmRowClear 1 table T 0"}},
        NotificationCase{
            "RowInit",
            [](Family& f) { f.Row(1).Init(u"1;2", u';'); },
            {"row 2: cmRowInit cell nil", "table T: cmRowInit row 2 cell nil -1 -1", "tables: cmRowInit 1 table T 0"}},
        NotificationCase{
            "RowCopyFrom",
            [](Family& f) { f.Row(1).CopyFrom(f.Row(0)); },
            {"row 2: cmRowInit cell nil", "table T: cmRowInit row 2 cell nil -1 -1", "tables: cmRowInit 1 table T 0"}},
        NotificationCase{"TableCopyFromWithProperties",
                         [](Family& f) {
                           TDataTable source;
                           source.Init(u"#s#1|2|3");
                           f.table->CopyFrom(source, true, 2);
                         },
                         {"row 0: cmRowInit cell nil", "table T: cmTableInit row nil cell nil -1 -1",
                          "tables: cmTableInit 1 table T 0"}},
        NotificationCase{"DataChangedTrue",
                         [](Family& f) { f.table->SetDataChanged(true); },
                         {"table T: cmDirect row nil cell nil -1 -1", "tables: cmDirect 1 table T 0"}},
        NotificationCase{"DataChangedFalseIsSilent", [](Family& f) { f.tables.SetDataChanged(false); }, {}},
        NotificationCase{"CollectionDataChangedTrue",
                         [](Family& f) { f.tables.SetDataChanged(true); },
                         {"tables: cmDirect -1 table nil -1"}},
        NotificationCase{"RowIndex",
                         [](Family& f) {
                           f.table->SetRowIndex(0);
                           f.table->SetRowIndex(0);
                           f.table->SetRowIndex(1);
                           f.table->SetRowIndex(7);
                         },
                         {"table T: row index 0", "table T: row index 1", "table T: row index -1"}},
        NotificationCase{"RowIndexIgnoresPreventEvent",
                         [](Family& f) {
                           f.table->SetPreventEvent(true);
                           f.table->SetRowIndex(1);
                         },
                         {"table T: row index 1"}}),
    testing_support::CaseName());

TEST(ChangeFlags, SetByNotificationsAndClearedByFalse) {
  Family family;
  family.tables.SetDataChanged(false);
  EXPECT_FALSE(family.tables.DataChanged());
  EXPECT_FALSE(family.table->DataChanged());
  EXPECT_FALSE(family.Row(0).DataChanged());

  family.Cell(0, 0).SetText(u"x");
  EXPECT_TRUE(family.Row(0).DataChanged());
  EXPECT_FALSE(family.Row(1).DataChanged());
  EXPECT_TRUE(family.table->DataChanged());
  EXPECT_TRUE(family.tables.DataChanged());

  family.table->SetName(u"n");
  EXPECT_TRUE(family.table->PropertyRow().DataChanged());

  family.tables.SetDataChanged(false);
  EXPECT_FALSE(family.tables.DataChanged());
  EXPECT_FALSE(family.table->DataChanged());
  EXPECT_FALSE(family.table->PropertyRow().DataChanged());
  EXPECT_FALSE(family.Row(0).DataChanged());
}

TEST(ChangeFlags, BracketsSuppressTheFlagOfTheirLevelOnly) {
  Family family;
  family.tables.SetDataChanged(false);
  family.table->BeginUpdate();
  family.Cell(1, 1).SetText(u"x");
  EXPECT_TRUE(family.Row(1).DataChanged());
  EXPECT_FALSE(family.table->DataChanged());
  EXPECT_FALSE(family.tables.DataChanged());
}

TEST(ChangeFlags, PreventEventStillSetsTheTableFlag) {
  Family family;
  family.tables.SetDataChanged(false);
  family.table->SetPreventEvent(true);
  family.Cell(0, 0).SetText(u"x");
  EXPECT_TRUE(family.table->DataChanged());
}

TEST(ChangeFlags, AThrowingHandlerLeavesNoBracketOpen) {
  Family family;
  family.table->PropertyRow().SetOnDataChanged([](TRow&, TDataTableChangeMode mode, TCell*) {
    if (mode == TDataTableChangeMode::cmRowInit) throw std::runtime_error("refused");
  });
  EXPECT_THROW(family.table->Init(u"#p#x"), std::runtime_error);
  family.log.Take();
  family.table->SetName(u"q");
  EXPECT_EQ(family.log.Take(),
            (Events{"table T: cmPropChange row 0 cell 0 -1 -1", "tables: cmPropChange 1 table T 0"}));
}

}  // namespace
}  // namespace setup
