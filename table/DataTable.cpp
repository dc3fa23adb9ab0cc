#include "table/DataTable.h"

#include <algorithm>
#include <optional>

#include "base/Errors.h"
#include "table/DataTables.h"
#include "table/UpdateGuard.h"

namespace setup {

TDataTable::TDataTable(std::u16string_view AKey, const TColumnSet& AConvertSet)
    : FPropertyRow(std::make_unique<TRow>()), FKey(AKey), FConvertSet(AConvertSet) {
  FPropertyRow->Init(u",,,,,,,,,", u',');
  FPropertyRow->FId = 0;
  FPropertyRow->FIsProp = true;
  FPropertyRow->FParent = this;
  FPropertyRow->FDataChanged = false;
}

// The property row goes first, then the rows; destruction never notifies.
TDataTable::~TDataTable() {
  FPropertyRow.reset();
  FItems.clear();
}

int TDataTable::IndexOfId(int Id) const noexcept {
  const auto found = std::find_if(FItems.begin(), FItems.end(), [Id](const auto& row) { return row->FId == Id; });
  return found == FItems.end() ? -1 : static_cast<int>(found - FItems.begin());
}

void TDataTable::BeginUpdate() noexcept { ++FUpdateCount; }

void TDataTable::EndUpdate(TDataTableChangeMode ChangeMode, TRow* ARow, TCell* ACell, int Data1, int Data2) {
  // An unbalanced EndUpdate must not drive the counter negative and mute the table for good.
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0) DoDataChanged(ChangeMode, ARow, ACell, Data1, Data2);
}

void TDataTable::DoDataChanged(TDataTableChangeMode ChangeMode, TRow* ARow, TCell* ACell, int Data1, int Data2) {
  if (FUpdateCount != 0) return;
  FDataChanged = true;
  const TDataTableChangeMode reported = (ARow && ARow->FIsProp) ? TDataTableChangeMode::cmPropChange : ChangeMode;
  if (FOnDataChanged && !FPreventEvent) FOnDataChanged(*this, reported, ARow, ACell, Data1, Data2);
  if (FParent) FParent->DoDataChanged(reported, 1, this, -1);
}

namespace {

// The two parts of a text form: the property cells when the text opens with a closed "#...#"
// block, and the rows text after it. No rows text when a property block has nothing after it.
// An empty text is one empty row. The rows text ends at its first NUL.
struct TextFormParts {
  std::optional<std::u16string_view> properties;
  std::optional<std::u16string_view> rows;
};

TextFormParts SplitTextForm(std::u16string_view sInit) {
  TextFormParts parts;
  std::u16string_view rowsText = sInit;
  if (!sInit.empty() && sInit.front() == u'#') {
    const std::size_t closing = sInit.find(u'#', 1);
    if (closing != std::u16string_view::npos) {
      parts.properties = sInit.substr(1, closing - 1);
      rowsText = sInit.substr(closing + 1);
      if (rowsText.empty()) return parts;
    }
  }
  parts.rows = rowsText.substr(0, rowsText.find(u'\0'));
  return parts;
}

std::size_t RowCountOfRowsText(std::u16string_view rowsText) {
  return static_cast<std::size_t>(std::count(rowsText.begin(), rowsText.end(), u'|')) + 1;
}

}  // namespace

std::size_t TDataTable::RowCountOf(std::u16string_view sInit) {
  const TextFormParts parts = SplitTextForm(sInit);
  return parts.rows ? RowCountOfRowsText(*parts.rows) : 0;
}

void TDataTable::Init(std::u16string_view sInit) {
  UpdateGuard guard(*this);
  Clear();
  const TextFormParts parts = SplitTextForm(sInit);
  if (parts.properties) FPropertyRow->Init(*parts.properties, u',');
  if (parts.rows) AddRowsFromText(*parts.rows);
  guard.Close(TDataTableChangeMode::cmTableInit, nullptr, nullptr, -1, -1);
}

void TDataTable::AddRowsFromText(std::u16string_view text) {
  // One allocation for the row list instead of a doubling one.
  FItems.reserve(FItems.size() + RowCountOfRowsText(text));
  std::size_t pieceStart = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u'|') {
      auto row = std::make_unique<TRow>();
      row->Init(text.substr(pieceStart, i - pieceStart), u',');
      AddItem(std::move(row));
      pieceStart = i + 1;
    }
  }
}

void TDataTable::Clear() {
  if (!FItems.empty()) {
    FItems.clear();
    FNextRowId = 1;
    DoDataChanged(TDataTableChangeMode::cmTableClear, nullptr, nullptr, -1, -1);
  }
  ResetRowIndex();
  FInitIndex = 0;
}

void TDataTable::ResetRowIndex() {
  if (FRowIndex == -1) return;
  FRowIndex = -1;
  if (FOnRowIndexChanged) FOnRowIndexChanged(*this, FRowIndex);
}

TRow& TDataTable::AddItem(std::unique_ptr<TRow> ARow) {
  if (!ARow) throw Exception(u"TDataTable::AddItem needs a row");
  UpdateGuard guard(*this);
  FItems.push_back(std::move(ARow));
  TRow& row = *FItems.back();
  row.FParent = this;
  row.FId = FNextRowId++;
  guard.Close(TDataTableChangeMode::cmRowAdd, &row, nullptr, -1, -1);
  return row;
}

TRow& TDataTable::AddItem(const TRow& ARow) {
  auto copy = std::make_unique<TRow>();
  copy->CopyFrom(ARow);
  return AddItem(std::move(copy));
}

void TDataTable::CopyFrom(const TDataTable& ADataTable, bool IncludeProp, int MaxCount) {
  // The copies are taken before Clear, so that a table copied from itself keeps its rows.
  std::size_t count = ADataTable.FItems.size();
  if (MaxCount > 0) count = std::min(count, static_cast<std::size_t>(MaxCount));
  std::vector<std::unique_ptr<TRow>> copies;
  copies.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    copies.push_back(std::make_unique<TRow>());
    copies.back()->CopyFrom(*ADataTable.FItems[i]);
  }

  UpdateGuard guard(*this);
  Clear();
  if (IncludeProp) FPropertyRow->CopyFrom(*ADataTable.FPropertyRow);
  for (auto& copy : copies) AddItem(std::move(copy));
  guard.Close(TDataTableChangeMode::cmTableInit, nullptr, nullptr, -1, -1);
}

TRow& TDataTable::Items(int i) {
  if (i < 0 || i >= ItemCount()) throw EListError::IndexOutOfBounds(i);
  return *FItems[static_cast<std::size_t>(i)];
}

const TRow& TDataTable::Items(int i) const {
  if (i < 0 || i >= ItemCount()) throw EListError::IndexOutOfBounds(i);
  return *FItems[static_cast<std::size_t>(i)];
}

std::u16string TDataTable::Name() const { return FPropertyRow->Items(0).Text(); }

void TDataTable::SetName(std::u16string_view V) { FPropertyRow->Items(0).SetText(V); }

std::int32_t TDataTable::Value() { return FPropertyRow->Items(1).Value(); }

void TDataTable::SetValue(std::int32_t V) { FPropertyRow->Items(1).SetValue(V); }

int TDataTable::RowIndex() {
  if (FRowIndexChanged) {
    const auto found = std::find_if(FItems.begin(), FItems.end(), [](const auto& row) { return row->FIsIndex; });
    FRowIndex = found == FItems.end() ? -1 : static_cast<int>(found - FItems.begin());
    FRowIndexChanged = false;
  }
  return FRowIndex;
}

void TDataTable::SetRowIndex(int V) {
  if (V == RowIndex()) return;
  if (FRowIndex >= 0 && FRowIndex < ItemCount()) FItems[static_cast<std::size_t>(FRowIndex)]->FIsIndex = false;
  if (V >= 0 && V < ItemCount()) {
    FItems[static_cast<std::size_t>(V)]->FIsIndex = true;
    FRowIndex = V;
  } else {
    FRowIndex = -1;
  }
  if (FOnRowIndexChanged) FOnRowIndexChanged(*this, FRowIndex);
}

void TDataTable::SetColIndex(int V) noexcept {
  FColIndex = (FItems.empty() || V < 0 || V > FItems.front()->ItemCount() - 1) ? -1 : V;
}

void TDataTable::SetDataChanged(bool V) {
  FDataChanged = V;
  if (V) {
    DoDataChanged(TDataTableChangeMode::cmDirect, nullptr, nullptr, -1, -1);
  } else {
    FPropertyRow->FDataChanged = false;
    for (auto& row : FItems) row->FDataChanged = false;
  }
}

void TDataTable::SetFileName(std::u16string_view V) {
  if (V != FFileName) FFileName = V;
}

}  // namespace setup
