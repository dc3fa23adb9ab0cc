// An owned, ordered collection of tables with a property row and a change event of its own.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "table/DataTable.h"
#include "table/DataTableTypes.h"
#include "table/Persistent.h"
#include "table/Row.h"

namespace setup {

class TDataTables : public TPersistentBase {
 public:
  // The property row starts with ten empty cells, like a table's.
  TDataTables();
  ~TDataTables() override;

  std::u16string_view ClassName() const override { return u"TDataTables"; }
  const TDataTables* AsDataTables() const noexcept final { return this; }

  // Takes Source's tables (as copies), property row and tag when Source is a collection;
  // anything else fails with "Cannot assign a <source class> to a TDataTables".
  void Assign(const TPersistentBase& Source) override;

  // Nested brackets: while one is open the collection drops its notifications.
  void BeginUpdate() noexcept;
  void EndUpdate(TDataTableChangeMode ChangeMode, int TCount, TDataTable* ADataTable, int TIndex);

  // Adopts ADataTable: the collection owns it from now on.
  TDataTable& AddItem(std::unique_ptr<TDataTable> ADataTable);
  // Appends a copy of ADataTable's rows (new ids, empty key and convert set, default property row).
  TDataTable& AddItem(const TDataTable& ADataTable);
  void Clear();
  // Copies of ADataTables' tables, at most MaxCount when it is positive.
  void CopyFrom(const TDataTables& ADataTables, int MaxCount);

  int ItemCount() const noexcept { return static_cast<int>(FItems.size()); }
  // Raise EListError "List index out of bounds (i)" outside 0..ItemCount()-1.
  TDataTable& Items(int i);
  const TDataTable& Items(int i) const;
  TRow& PropertyRow() noexcept { return *FPropertyRow; }
  const TRow& PropertyRow() const noexcept { return *FPropertyRow; }

  bool DataChanged() const noexcept { return FDataChanged; }
  // True reports a cmDirect change; false clears the flags of every table and row as well.
  void SetDataChanged(bool V);

  const std::u16string& FileName() const noexcept { return FFileName; }
  void SetFileName(std::u16string_view V);
  bool IsEncrypt() const noexcept { return FIsEncrypt; }
  void SetIsEncrypt(bool V) noexcept { FIsEncrypt = V; }
  int Tag() const noexcept { return FTag; }
  void SetTag(int V) noexcept { FTag = V; }

  const TDataTablesDataChangeEvent& OnDataChanged() const noexcept { return FOnDataChanged; }
  void SetOnDataChanged(TDataTablesDataChangeEvent V) { FOnDataChanged = std::move(V); }
  const TTableDeletingEvent& OnTableDeleting() const noexcept { return FOnTableDeleting; }
  void SetOnTableDeleting(TTableDeletingEvent V) { FOnTableDeleting = std::move(V); }

 private:
  friend class TDataTable;
  template <class>
  friend class UpdateGuard;

  void DoDataChanged(TDataTableChangeMode ChangeMode, int TCount, TDataTable* ADataTable, int TIndex);
  void CancelUpdate() noexcept { --FUpdateCount; }
  int IndexOf(const TDataTable& table) const noexcept;

  std::vector<std::unique_ptr<TDataTable>> FItems;
  std::u16string FFileName;
  bool FIsEncrypt = false;
  int FTag = 0;
  std::unique_ptr<TRow> FPropertyRow;
  bool FDataChanged = false;
  int FUpdateCount = 0;
  TDataTablesDataChangeEvent FOnDataChanged;
  TTableDeletingEvent FOnTableDeleting;
};

}  // namespace setup
