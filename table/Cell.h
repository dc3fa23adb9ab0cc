// One text cell of a table row, with its text, integer and boolean views.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "table/DataTableTypes.h"

namespace setup {

class TCell {
 public:
  // The cell knows its row but is not added to it; the row adds the cells it creates.
  explicit TCell(TRow* AOwner);
  TCell(const TCell&) = delete;
  TCell& operator=(const TCell&) = delete;
  ~TCell() = default;  // not virtual: no class derives from a cell, and a table may hold millions

  TRow* Parent() const noexcept { return FParent; }
  // Position in the row's cells; -1 without a row (or when the row does not hold this cell).
  int GetIndex() const noexcept;

  // In a converted column the stored text carries "," and "|" as characters 26 and 27;
  // Text reads them back and SetText escapes them (and blanks control characters).
  std::u16string Text() const;
  void SetText(std::u16string_view V);

  // An empty cell reads as "0", and keeps "0" from then on (without a notification).
  // Raises EConvertError for text that is not an integer.
  std::int32_t Value();
  void SetValue(std::int32_t V);
  // Raises EConvertError for text that is neither a number nor "True" / "False".
  bool AsBool();
  void SetAsBool(bool V);

  // The text exactly as stored, escapes included: what the table's text form carries.
  const std::u16string& StoredText() const noexcept { return FText; }
  // Replaces the stored text verbatim (no escaping), notifying like SetText when it changes.
  void SetStoredText(std::u16string_view V);

 private:
  friend class TRow;

  bool IsConverted() const noexcept;
  bool KeepsLineBreaks() const noexcept;
  void Store(std::u16string_view V);

  TRow* FParent;  // the owning row; not owned by the cell
  std::u16string FText;
};

}  // namespace setup
