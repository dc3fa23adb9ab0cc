#include "table/TableText.h"

#include "base/Text.h"

namespace setup {

namespace {

constexpr std::u16string_view kCellSeparators{u",|\0", 3};

void AppendRow(std::u16string& out, const TRow& row, std::u16string_view forbidden, std::u16string_view rowName) {
  if (row.ItemCount() == 0) {
    throw ETableTextError(FormatText(u"The table text cannot hold %s: it has no cells", {rowName}));
  }
  for (int column = 0; column < row.ItemCount(); ++column) {
    const std::u16string& stored = row.Items(column).StoredText();
    if (stored.find_first_of(forbidden) != std::u16string::npos) {
      throw ETableTextError(FormatText(u"The table text cannot hold cell %d of %s: it contains a separator",
                                       {IntToText(column), rowName}));
    }
    if (column > 0) out += u',';
    out += stored;
  }
}

std::u16string RowName(int index) { return FormatText(u"row %d", {IntToText(index)}); }

}  // namespace

std::u16string WriteTableText(const TDataTable& table, bool includeProperties) {
  std::u16string out;
  if (includeProperties) {
    // The property block is not split into rows, so "|" may stand in it; "#" would end it.
    constexpr std::u16string_view kPropertySeparators{u",#\0", 3};
    out += u'#';
    AppendRow(out, table.PropertyRow(), kPropertySeparators, u"the property row");
    out += u'#';
  }

  const std::size_t rowsStart = out.size();
  for (int index = 0; index < table.ItemCount(); ++index) {
    if (index > 0) out += u'|';
    AppendRow(out, table.Items(index), kCellSeparators, RowName(index));
  }
  const std::u16string_view rowsText = std::u16string_view(out).substr(rowsStart);

  if (includeProperties) {
    if (rowsText.empty() && table.ItemCount() != 0) {
      throw ETableTextError(u"The table text cannot hold a single empty row after its property block");
    }
  } else {
    if (table.ItemCount() == 0) {
      throw ETableTextError(u"The table text cannot hold a table without rows unless it has a property block");
    }
    if (rowsText.size() > 1 && rowsText.front() == u'#' && rowsText.find(u'#', 1) != std::u16string_view::npos) {
      throw ETableTextError(u"The table text would be read with a property block: write it with its property row");
    }
  }
  return out;
}

}  // namespace setup
