#include "table/Cell.h"

#include <algorithm>

#include "base/Convert.h"
#include "base/Text.h"
#include "table/CellEscaping.h"
#include "table/DataTable.h"
#include "table/Row.h"

namespace setup {

TCell::TCell(TRow* AOwner) : FParent(AOwner) {}

int TCell::GetIndex() const noexcept {
  if (!FParent) return -1;
  const auto& cells = FParent->FItems;
  const auto found = std::find_if(cells.begin(), cells.end(), [this](const auto& cell) { return cell.get() == this; });
  return found == cells.end() ? -1 : static_cast<int>(found - cells.begin());
}

// Only the owning table decides: a table that merely refers to the row does not convert.
bool TCell::IsConverted() const noexcept {
  if (!FParent || !FParent->Parent()) return false;
  return FParent->Parent()->ConvertSet().Contains(GetIndex());
}

bool TCell::KeepsLineBreaks() const noexcept {
  const TDataTable& table = *FParent->Parent();
  return table.ReserveLFSet().Contains(GetIndex()) || (table.IOMode() & 1) != 0;
}

std::u16string TCell::Text() const {
  if (FText.empty() || !IsConverted()) return FText;
  return UnescapeCellText(FText);
}

void TCell::SetText(std::u16string_view V) {
  if (V == FText) return;
  if (!V.empty() && IsConverted()) {
    const std::u16string escaped = EscapeCellText(V, KeepsLineBreaks());
    if (escaped == FText) return;
    Store(escaped);
  } else {
    Store(V);
  }
}

std::int32_t TCell::Value() {
  if (FText.empty()) FText = u"0";
  return TextToInt(FText);
}

void TCell::SetValue(std::int32_t V) { SetStoredText(IntToText(V)); }

bool TCell::AsBool() {
  if (FText.empty()) FText = u"0";
  return TextToBool(FText);
}

void TCell::SetAsBool(bool V) { SetStoredText(V ? u"-1" : u"0"); }

void TCell::SetStoredText(std::u16string_view V) {
  if (V != FText) Store(V);
}

void TCell::Store(std::u16string_view V) {
  FText.assign(V);
  if (FParent) FParent->Changed(TDataTableChangeMode::cmCellEdit, this);
}

}  // namespace setup
