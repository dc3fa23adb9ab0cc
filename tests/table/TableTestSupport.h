// Helpers for the data table tests: cell snapshots and a recorder of change notifications.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "base/Text.h"
#include "table/DataTable.h"
#include "table/DataTables.h"

namespace setup::testing_support {

using Cells = std::vector<std::u16string>;

inline Cells StoredCells(const TRow& row) {
  Cells cells;
  for (int i = 0; i < row.ItemCount(); ++i) cells.push_back(row.Items(i).StoredText());
  return cells;
}

inline std::vector<Cells> StoredRows(const TDataTable& table) {
  std::vector<Cells> rows;
  for (int i = 0; i < table.ItemCount(); ++i) rows.push_back(StoredCells(table.Items(i)));
  return rows;
}

inline const char* ModeName(TDataTableChangeMode mode) {
  static constexpr std::array<const char*, 23> kNames = {
      "cmNoTrigger", "cmLoad",       "cmSort",        "cmDirect",     "cmPropChange",
      "cmCellAdd",   "cmCellEdit",   "cmCellDeleted", "cmCellMove",   "cmRowInit",
      "cmRowClear",  "cmRowAdd",     "cmRowBatchAdd", "cmRowDeleted", "cmRowBatchDeleted",
      "cmRowMove",   "cmTableInit",  "cmTableClear",  "cmTableAdd",   "cmTableDeleted",
      "cmTableMove", "cmTablesInit", "cmTablesClear"};
  const auto ordinal = static_cast<std::size_t>(mode);
  return ordinal < kNames.size() ? kNames[ordinal] : "?";
}

// Names a parameterised case after its `name` member.
struct CaseName {
  template <class Param>
  std::string operator()(const testing::TestParamInfo<Param>& caseInfo) const {
    return caseInfo.param.name;
  }
};

// Records every notification it watches as one line naming the sender, the mode and the
// arguments: rows by id, cells by column, tables by key, "nil" for an absent object.
class EventLog {
 public:
  EventLog() = default;
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  void Watch(TRow& row) {
    row.SetOnDataChanged([this](TRow& sender, TDataTableChangeMode mode, TCell* cell) {
      lines_.push_back("row " + std::to_string(sender.Id()) + ": " + ModeName(mode) + " cell " + CellName(cell));
    });
  }
  void Watch(TDataTable& table) {
    table.SetOnDataChanged(
        [this](TDataTable& sender, TDataTableChangeMode mode, TRow* row, TCell* cell, int data1, int data2) {
          lines_.push_back("table " + ToUtf8(sender.Key()) + ": " + ModeName(mode) + " row " + RowName(row) + " cell " +
                           CellName(cell) + " " + std::to_string(data1) + " " + std::to_string(data2));
        });
    table.SetOnRowIndexChanged([this](TDataTable& sender, int index) {
      lines_.push_back("table " + ToUtf8(sender.Key()) + ": row index " + std::to_string(index));
    });
  }
  void Watch(TDataTables& tables) {
    tables.SetOnDataChanged([this](TDataTables&, TDataTableChangeMode mode, int count, TDataTable* table, int index) {
      lines_.push_back(std::string("tables: ") + ModeName(mode) + " " + std::to_string(count) + " table " +
                       (table ? ToUtf8(table->Key()) : "nil") + " " + std::to_string(index));
    });
  }

  // The lines recorded since the last call.
  std::vector<std::string> Take() { return std::exchange(lines_, {}); }

 private:
  static std::string CellName(const TCell* cell) { return cell ? std::to_string(cell->GetIndex()) : "nil"; }
  static std::string RowName(const TRow* row) { return row ? std::to_string(row->Id()) : "nil"; }

  std::vector<std::string> lines_;
};

}  // namespace setup::testing_support
