// Shared vocabulary of the data table family: change modes, event handler types and column sets.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>

namespace setup {

class TCell;
class TRow;
class TDataTable;
class TDataTables;

// The kind of change a notification reports. The ordinals are stable: they travel to handlers
// and are compared by value, so new modes may only be appended.
enum class TDataTableChangeMode : std::uint8_t {
  cmNoTrigger,
  cmLoad,
  cmSort,
  cmDirect,
  cmPropChange,
  cmCellAdd,
  cmCellEdit,
  cmCellDeleted,
  cmCellMove,
  cmRowInit,
  cmRowClear,
  cmRowAdd,
  cmRowBatchAdd,
  cmRowDeleted,
  cmRowBatchDeleted,
  cmRowMove,
  cmTableInit,
  cmTableClear,
  cmTableAdd,
  cmTableDeleted,
  cmTableMove,
  cmTablesInit,
  cmTablesClear,
};

enum class TSortMode : std::uint8_t { smText, smValueInc, smValueDec, smCustom };

using TRowDataChangeEvent = std::function<void(TRow& Sender, TDataTableChangeMode ChangeMode, TCell* ACell)>;
using TDataTableDataChangeEvent = std::function<void(TDataTable& Sender, TDataTableChangeMode ChangeMode, TRow* ARow,
                                                     TCell* ACell, int Data1, int Data2)>;
using TDataTablesDataChangeEvent = std::function<void(TDataTables& Sender, TDataTableChangeMode ChangeMode, int TCount,
                                                      TDataTable* ADataTable, int Index)>;
using TRowIndexChangeEvent = std::function<void(TDataTable& Sender, int NewIndex)>;
using TRowDeletingEvent = std::function<void(bool IsDelete, TDataTable& Sender, TRow* ARow, int Index)>;
using TTableDeletingEvent = std::function<void(bool IsDelete, TDataTables& Sender, TDataTable* ADataTable, int Index)>;

// A set of column indexes 0..103, as a table keeps for its converted and line-break columns.
class TColumnSet {
 public:
  static constexpr int kColumnLimit = 104;

  TColumnSet() = default;
  // Raises EListError "List index out of bounds (%d)" for a column outside 0..103.
  TColumnSet(std::initializer_list<int> columns);

  // False for every column outside 0..103: such a column can never be a member.
  bool Contains(int column) const noexcept;
  void Include(int column);
  void Exclude(int column);
  bool Empty() const noexcept { return bits_.none(); }

  friend bool operator==(const TColumnSet&, const TColumnSet&) = default;

 private:
  std::bitset<kColumnLimit> bits_;
};

}  // namespace setup
