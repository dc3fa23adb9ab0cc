#include "table/Row.h"

#include <algorithm>
#include <string>

#include "base/Errors.h"
#include "table/DataTable.h"
#include "table/UpdateGuard.h"

namespace setup {

TRow::TRow(TDataTable* AOwner) : FParent(AOwner) {}

// Cells, the counted reference and the list go with their members; destruction never notifies.
TRow::~TRow() = default;

TRow::TUserData& TRow::UserData() {
  if (!FUserData) FUserData = std::make_unique<TUserData>();
  return *FUserData;
}

const std::shared_ptr<void>& TRow::IData() const noexcept {
  static const std::shared_ptr<void> kNone;
  return FUserData ? FUserData->iData : kNone;
}

const TRowDataChangeEvent& TRow::OnDataChanged() const noexcept {
  static const TRowDataChangeEvent kNone;
  return FUserData ? FUserData->onDataChanged : kNone;
}

int TRow::GetIndex() const noexcept {
  const TDataTable* table = FRefParent ? FRefParent : FParent;
  if (!table) return -1;
  const auto& rows = table->FItems;
  const auto found = std::find_if(rows.begin(), rows.end(), [this](const auto& row) { return row.get() == this; });
  return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

// Opening a bracket would also start a batch journal entry; this system keeps no batch journals.
void TRow::BeginUpdate() noexcept { ++FUpdateCount; }

void TRow::EndUpdate(TDataTableChangeMode ChangeMode, TCell* ACell) {
  // An unbalanced EndUpdate must not drive the counter negative and mute the row for good.
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0) Changed(ChangeMode, ACell);
}

void TRow::Changed(TDataTableChangeMode ChangeMode, TCell* ACell) {
  if (FUpdateCount != 0) return;
  FDataChanged = true;
  if (FUserData && FUserData->onDataChanged) FUserData->onDataChanged(*this, ChangeMode, ACell);
  if (FRefParent) {
    FRefParent->DoDataChanged(ChangeMode, this, ACell, -1, -1);
  } else if (FParent) {
    FParent->DoDataChanged(ChangeMode, this, ACell, -1, -1);
  }
}

void TRow::AppendCell(std::u16string_view storedText) {
  auto cell = std::make_unique<TCell>(this);
  cell->FText.assign(storedText);
  FItems.push_back(std::move(cell));
}

void TRow::Init(std::u16string_view sInit, char16_t sSplitChar) {
  UpdateGuard guard(*this);
  Clear();
  // Nothing after an embedded NUL is read.
  const std::u16string_view text = sInit.substr(0, sInit.find(u'\0'));
  std::size_t pieceStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == sSplitChar) {
      AppendCell(text.substr(pieceStart, i - pieceStart));
      pieceStart = i + 1;
    }
  }
  // The end always closes a piece: an empty text is one empty cell, a trailing separator a final one.
  AppendCell(text.substr(pieceStart));
  guard.Close(TDataTableChangeMode::cmRowInit, nullptr);
}

void TRow::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed(TDataTableChangeMode::cmRowClear, nullptr);
}

TCell& TRow::AddItem(std::int32_t Value) {
  UpdateGuard guard(*this);
  FItems.push_back(std::make_unique<TCell>(this));
  TCell& cell = *FItems.back();
  cell.SetValue(Value);
  guard.Close(TDataTableChangeMode::cmCellAdd, &cell);
  return cell;
}

void TRow::CopyFrom(const TRow& ARow) {
  // Taken first, so that a row copied from itself keeps its texts.
  std::vector<std::u16string> texts;
  texts.reserve(ARow.FItems.size());
  for (const auto& cell : ARow.FItems) texts.push_back(cell->FText);

  UpdateGuard guard(*this);
  Init(std::u16string(texts.empty() ? 0 : texts.size() - 1, u','), u',');
  for (std::size_t i = 0; i < texts.size(); ++i) FItems[i]->FText = std::move(texts[i]);
  guard.Close(TDataTableChangeMode::cmRowInit, nullptr);
}

TCell& TRow::Items(int i) {
  if (i < 0 || i >= ItemCount()) throw EListError::IndexOutOfBounds(i);
  return *FItems[static_cast<std::size_t>(i)];
}

const TCell& TRow::Items(int i) const {
  if (i < 0 || i >= ItemCount()) throw EListError::IndexOutOfBounds(i);
  return *FItems[static_cast<std::size_t>(i)];
}

}  // namespace setup
