// A table of text rows with a property row, its one-line text form and change notifications.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "table/DataTableTypes.h"
#include "table/Persistent.h"
#include "table/Row.h"

namespace setup {

class TDataTable : public TPersistentBase {
 public:
  // Columns in AConvertSet escape "," and "|" in their stored text. The property row starts
  // with ten empty cells.
  explicit TDataTable(std::u16string_view AKey = {}, const TColumnSet& AConvertSet = {});
  ~TDataTable() override;

  std::u16string_view ClassName() const override { return u"TDataTable"; }

  // Index of the first row with this id; -1 when none.
  int IndexOfId(int Id) const noexcept;

  // Nested brackets: while one is open the table (and through it the collection) drops its
  // notifications; rows inside still raise their own.
  void BeginUpdate() noexcept;
  void EndUpdate(TDataTableChangeMode ChangeMode, TRow* ARow, TCell* ACell, int Data1, int Data2);

  // Replaces all rows from the text form "#<property cells>#<row>|<row>..." (the property block
  // is optional; without it the property row stays). Every text has a parse.
  void Init(std::u16string_view sInit);
  // The number of rows Init makes of sInit, counted without making them.
  static std::size_t RowCountOf(std::u16string_view sInit);
  void Clear();
  // Adopts ARow: the table owns it from now on and gives it the next row id.
  TRow& AddItem(std::unique_ptr<TRow> ARow);
  // Appends a copy of ARow's cell texts with the next row id; ARow stays with its owner.
  TRow& AddItem(const TRow& ARow);
  // Rows (at most MaxCount when it is positive) and, with IncludeProp, the property row.
  void CopyFrom(const TDataTable& ADataTable, bool IncludeProp, int MaxCount);

  int ItemCount() const noexcept { return static_cast<int>(FItems.size()); }
  int PropCount() const noexcept { return FPropertyRow->ItemCount(); }
  // Raise EListError "List index out of bounds (i)" outside 0..ItemCount()-1.
  TRow& Items(int i);
  const TRow& Items(int i) const;
  TRow& PropertyRow() noexcept { return *FPropertyRow; }
  const TRow& PropertyRow() const noexcept { return *FPropertyRow; }

  // The property row's cell 0 text and cell 1 integer.
  std::u16string Name() const;
  void SetName(std::u16string_view V);
  std::int32_t Value();
  void SetValue(std::int32_t V);

  int RowIndex();
  void SetRowIndex(int V);
  int ColIndex() const noexcept { return FColIndex; }
  void SetColIndex(int V) noexcept;

  bool DataChanged() const noexcept { return FDataChanged; }
  // True reports a cmDirect change; false clears the flags of the table's rows as well.
  void SetDataChanged(bool V);

  TDataTables* Parent() const noexcept { return FParent; }
  void SetParent(TDataTables* V) noexcept { FParent = V; }
  void* Data() const noexcept { return FData; }
  void SetData(void* V) noexcept { FData = V; }
  void* Data2() const noexcept { return FData2; }
  void SetData2(void* V) noexcept { FData2 = V; }
  void* Data3() const noexcept { return FData3; }
  void SetData3(void* V) noexcept { FData3 = V; }
  int Tag() const noexcept { return FTag; }
  void SetTag(int V) noexcept { FTag = V; }
  // Bit 0 keeps tab, line feed and carriage return in converted columns.
  int IOMode() const noexcept { return FIOMode; }
  void SetIOMode(int V) noexcept { FIOMode = V; }
  const std::u16string& Key() const noexcept { return FKey; }
  void SetKey(std::u16string_view V) { FKey = V; }
  const std::u16string& KeyCustom() const noexcept { return FKeyCustom; }
  void SetKeyCustom(std::u16string_view V) { FKeyCustom = V; }
  const std::u16string& FileName() const noexcept { return FFileName; }
  void SetFileName(std::u16string_view V);
  bool PreventEvent() const noexcept { return FPreventEvent; }
  void SetPreventEvent(bool V) noexcept { FPreventEvent = V; }
  bool InBatch() const noexcept { return FInBatch; }
  const TColumnSet& ConvertSet() const noexcept { return FConvertSet; }
  const TColumnSet& ReserveLFSet() const noexcept { return FReserveLFSet; }
  void SetReserveLFSet(const TColumnSet& V) noexcept { FReserveLFSet = V; }

  const TDataTableDataChangeEvent& OnDataChanged() const noexcept { return FOnDataChanged; }
  void SetOnDataChanged(TDataTableDataChangeEvent V) { FOnDataChanged = std::move(V); }
  const TRowDeletingEvent& OnRowDeleting() const noexcept { return FOnRowDeleting; }
  void SetOnRowDeleting(TRowDeletingEvent V) { FOnRowDeleting = std::move(V); }
  const TRowIndexChangeEvent& OnRowIndexChanged() const noexcept { return FOnRowIndexChanged; }
  void SetOnRowIndexChanged(TRowIndexChangeEvent V) { FOnRowIndexChanged = std::move(V); }

 private:
  friend class TRow;
  friend class TDataTables;
  template <class>
  friend class UpdateGuard;

  void DoDataChanged(TDataTableChangeMode ChangeMode, TRow* ARow, TCell* ACell, int Data1, int Data2);
  void CancelUpdate() noexcept { --FUpdateCount; }
  // Appends the rows of a rows text that ends at its first NUL.
  void AddRowsFromText(std::u16string_view text);
  void ResetRowIndex();

  TDataTables* FParent = nullptr;  // the collection holding the table; never owned
  std::int32_t FValue = 0;         // kept for the family's layout; the Value property uses the property row
  std::u16string FName;            // likewise; the Name property uses the property row
  // Free for the user and never owned by the table.
  void* FData = nullptr;
  void* FData2 = nullptr;
  void* FData3 = nullptr;
  std::vector<std::unique_ptr<TRow>> FItems;
  std::u16string FFileName;
  int FNextRowId = 1;
  int FTag = 0;
  std::unique_ptr<TRow> FPropertyRow;
  int FUpdateCount = 0;
  bool FDataChanged = false;
  bool FRowIndexChanged = false;
  int FRowIndex = -1;
  int FColIndex = -1;
  int FIOMode = 2;
  std::u16string FKey;
  std::u16string FKeyCustom;
  TColumnSet FConvertSet;
  TColumnSet FReserveLFSet;
  int FInitIndex = 0;
  // Batch journals are not kept by this system: always null, and FInBatch always false.
  TDataTable* FBatchDT = nullptr;
  TDataTable* FBatchRowDT = nullptr;
  bool FInBatch = false;
  bool FPreventEvent = false;
  TRowIndexChangeEvent FOnRowIndexChanged;
  TDataTableDataChangeEvent FOnDataChanged;
  TRowDeletingEvent FOnRowDeleting;
};

}  // namespace setup
