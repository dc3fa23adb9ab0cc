#include "base/Errors.h"
#include "table/DataTableTypes.h"

namespace setup {

namespace {
std::size_t CheckedColumn(int column) {
  if (column < 0 || column >= TColumnSet::kColumnLimit) {
    throw EListError::IndexOutOfBounds(column);
  }
  return static_cast<std::size_t>(column);
}
}  // namespace

TColumnSet::TColumnSet(std::initializer_list<int> columns) {
  for (int column : columns) Include(column);
}

bool TColumnSet::Contains(int column) const noexcept {
  return column >= 0 && column < kColumnLimit && bits_.test(static_cast<std::size_t>(column));
}

void TColumnSet::Include(int column) { bits_.set(CheckedColumn(column)); }

void TColumnSet::Exclude(int column) { bits_.reset(CheckedColumn(column)); }

}  // namespace setup
