// A row of text cells: a table's data row or its property row.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "table/Cell.h"
#include "table/DataTableTypes.h"
#include "table/Persistent.h"

namespace setup {

class TRow : public TPersistentBase {
 public:
  // The row knows AOwner but is not added to it: TDataTable::AddItem adopts rows.
  explicit TRow(TDataTable* AOwner = nullptr);
  ~TRow() override;

  std::u16string_view ClassName() const override { return u"TRow"; }

  // Position in RefParent's rows when that is set, else in Parent's rows, else -1.
  int GetIndex() const noexcept;

  // Nested brackets: while one is open the row drops its notifications.
  void BeginUpdate() noexcept;
  void EndUpdate(TDataTableChangeMode ChangeMode, TCell* ACell);

  // Replaces all cells by the pieces of sInit split at sSplitChar, stored verbatim. The text ends
  // at its first NUL; an empty text gives one empty cell.
  void Init(std::u16string_view sInit, char16_t sSplitChar);
  void Clear();
  // Appends a cell holding the decimal text of Value.
  TCell& AddItem(std::int32_t Value);
  // Takes ARow's stored cell texts (at least one cell); ids, tags, data and flags stay.
  void CopyFrom(const TRow& ARow);

  int ItemCount() const noexcept { return static_cast<int>(FItems.size()); }
  // Raises EListError "List index out of bounds (i)" outside 0..ItemCount()-1.
  TCell& Items(int i);
  const TCell& Items(int i) const;

  TDataTable* Parent() const noexcept { return FParent; }
  void SetParent(TDataTable* V) noexcept { FParent = V; }
  TDataTable* RefParent() const noexcept { return FRefParent; }
  void SetRefParent(TDataTable* V) noexcept { FRefParent = V; }
  // -1 for a row that no table has adopted, 0 for a property row, 1, 2, ... in a table.
  int Id() const noexcept { return FId; }
  bool IsProp() const noexcept { return FIsProp; }
  bool IsIndex() const noexcept { return FIsIndex; }
  int Tag() const noexcept { return FTag; }
  void SetTag(int V) noexcept { FTag = V; }
  void* Data() const noexcept { return FUserData ? FUserData->data : nullptr; }
  void SetData(void* V) { UserData().data = V; }
  void* Data2() const noexcept { return FUserData ? FUserData->data2 : nullptr; }
  void SetData2(void* V) { UserData().data2 = V; }
  void* Data3() const noexcept { return FUserData ? FUserData->data3 : nullptr; }
  void SetData3(void* V) { UserData().data3 = V; }
  const std::shared_ptr<void>& IData() const noexcept;
  void SetIData(std::shared_ptr<void> V) { UserData().iData = std::move(V); }
  bool DataChanged() const noexcept { return FDataChanged; }
  void SetDataChanged(bool V) noexcept { FDataChanged = V; }
  const TRowDataChangeEvent& OnDataChanged() const noexcept;
  void SetOnDataChanged(TRowDataChangeEvent V) { UserData().onDataChanged = std::move(V); }

 private:
  friend class TCell;
  friend class TDataTable;
  friend class TDataTables;
  template <class>
  friend class UpdateGuard;

  void Changed(TDataTableChangeMode ChangeMode, TCell* ACell);
  void CancelUpdate() noexcept { --FUpdateCount; }
  void AppendCell(std::u16string_view storedText);

  // What the user attaches to a row. Few rows carry any, and a table may hold a million rows,
  // so it is made on the first write instead of widening every row.
  struct TUserData {
    void* data = nullptr;
    void* data2 = nullptr;
    void* data3 = nullptr;
    std::shared_ptr<void> iData;
    TRowDataChangeEvent onDataChanged;
  };
  TUserData& UserData();

  // Back references: the tables never belong to the row.
  TDataTable* FParent;
  TDataTable* FRefParent = nullptr;
  std::vector<std::unique_ptr<TCell>> FItems;
  int FId = -1;
  int FTag = 0;
  bool FIsProp = false;
  bool FIsIndex = false;
  int FUpdateCount = 0;
  bool FDataChanged = false;
  // The data pointers are free for the user and never owned by the row.
  std::unique_ptr<TUserData> FUserData;
};

}  // namespace setup
