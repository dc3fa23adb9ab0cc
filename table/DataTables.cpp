#include "table/DataTables.h"

#include <algorithm>

#include "base/Errors.h"
#include "table/UpdateGuard.h"

namespace setup {

TDataTables::TDataTables() : FPropertyRow(std::make_unique<TRow>()) {
  FPropertyRow->Init(u",,,,,,,,,", u',');
  FPropertyRow->FId = 0;
  FPropertyRow->FIsProp = true;
  FPropertyRow->FDataChanged = false;
}

// The property row goes first, then the tables; destruction never notifies.
TDataTables::~TDataTables() {
  FPropertyRow.reset();
  FItems.clear();
}

void TDataTables::BeginUpdate() noexcept { ++FUpdateCount; }

void TDataTables::EndUpdate(TDataTableChangeMode ChangeMode, int TCount, TDataTable* ADataTable, int TIndex) {
  // An unbalanced EndUpdate must not drive the counter negative and mute the collection for good.
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0) DoDataChanged(ChangeMode, TCount, ADataTable, TIndex);
}

void TDataTables::DoDataChanged(TDataTableChangeMode ChangeMode, int TCount, TDataTable* ADataTable, int TIndex) {
  if (FUpdateCount != 0) return;
  FDataChanged = true;
  if (!FOnDataChanged) return;
  if (ADataTable && TIndex == -1) TIndex = ADataTable->FParent ? ADataTable->FParent->IndexOf(*ADataTable) : -1;
  FOnDataChanged(*this, ChangeMode, TCount, ADataTable, TIndex);
}

int TDataTables::IndexOf(const TDataTable& table) const noexcept {
  const auto found =
      std::find_if(FItems.begin(), FItems.end(), [&table](const auto& item) { return item.get() == &table; });
  return found == FItems.end() ? -1 : static_cast<int>(found - FItems.begin());
}

TDataTable& TDataTables::AddItem(std::unique_ptr<TDataTable> ADataTable) {
  if (!ADataTable) throw Exception(u"TDataTables::AddItem needs a table");
  UpdateGuard guard(*this);
  FItems.push_back(std::move(ADataTable));
  TDataTable& table = *FItems.back();
  table.FParent = this;
  guard.Close(TDataTableChangeMode::cmTableAdd, 1, &table, ItemCount() - 1);
  return table;
}

TDataTable& TDataTables::AddItem(const TDataTable& ADataTable) {
  UpdateGuard guard(*this);
  auto copy = std::make_unique<TDataTable>();
  copy->FParent = this;
  copy->CopyFrom(ADataTable, false, 0);
  FItems.push_back(std::move(copy));
  TDataTable& table = *FItems.back();
  guard.Close(TDataTableChangeMode::cmTableAdd, 1, &table, ItemCount() - 1);
  return table;
}

void TDataTables::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  DoDataChanged(TDataTableChangeMode::cmTablesClear, -1, nullptr, -1);
}

void TDataTables::CopyFrom(const TDataTables& ADataTables, int MaxCount) {
  // The copies are taken before Clear, so that a collection copied from itself keeps its tables.
  std::size_t count = ADataTables.FItems.size();
  if (MaxCount > 0) count = std::min(count, static_cast<std::size_t>(MaxCount));
  std::vector<std::unique_ptr<TDataTable>> copies;
  copies.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    copies.push_back(std::make_unique<TDataTable>());
    copies.back()->CopyFrom(*ADataTables.FItems[i], false, 0);
  }

  UpdateGuard guard(*this);
  Clear();
  for (auto& copy : copies) AddItem(std::move(copy));
  guard.Close(TDataTableChangeMode::cmTablesInit, -1, nullptr, -1);
}

void TDataTables::Assign(const TPersistentBase& Source) {
  const TDataTables* source = Source.AsDataTables();
  if (!source) {
    TPersistentBase::Assign(Source);
    return;
  }
  UpdateGuard guard(*this);
  CopyFrom(*source, 0);
  FPropertyRow->CopyFrom(*source->FPropertyRow);
  FTag = source->FTag;
  guard.Close(TDataTableChangeMode::cmTablesInit, -1, nullptr, -1);
}

TDataTable& TDataTables::Items(int i) {
  if (i < 0 || i >= ItemCount()) throw EListError::IndexOutOfBounds(i);
  return *FItems[static_cast<std::size_t>(i)];
}

const TDataTable& TDataTables::Items(int i) const {
  if (i < 0 || i >= ItemCount()) throw EListError::IndexOutOfBounds(i);
  return *FItems[static_cast<std::size_t>(i)];
}

void TDataTables::SetDataChanged(bool V) {
  FDataChanged = V;
  if (V) {
    DoDataChanged(TDataTableChangeMode::cmDirect, -1, nullptr, -1);
  } else {
    FPropertyRow->FDataChanged = false;
    for (auto& table : FItems) table->SetDataChanged(false);
  }
}

void TDataTables::SetFileName(std::u16string_view V) {
  if (V != FFileName) FFileName = V;
}

}  // namespace setup
