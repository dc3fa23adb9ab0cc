// Parses arbitrary UTF-16 text as a package file table and checks what must hold for every parse:
// the shape of the rows, the writer giving back the text it came from, and the converted column's
// escaping.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/Errors.h"
#include "table/CellEscaping.h"
#include "table/DataTable.h"
#include "table/TableText.h"

namespace {

using setup::TDataTable;
using setup::TRow;

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

bool SameCells(const TRow& a, const TRow& b) {
  if (a.ItemCount() != b.ItemCount()) return false;
  for (int i = 0; i < a.ItemCount(); ++i) {
    if (a.Items(i).StoredText() != b.Items(i).StoredText()) return false;
  }
  return true;
}

bool SameRows(const TDataTable& a, const TDataTable& b) {
  if (a.ItemCount() != b.ItemCount()) return false;
  for (int i = 0; i < a.ItemCount(); ++i) {
    if (!SameCells(a.Items(i), b.Items(i))) return false;
  }
  return true;
}

void CheckShape(const TDataTable& table) {
  for (int i = 0; i < table.ItemCount(); ++i) {
    const TRow& row = table.Items(i);
    Require(row.Id() == i + 1, "row ids count from 1");
    Require(row.Parent() == &table && row.GetIndex() == i, "rows belong to their table");
    Require(row.ItemCount() >= 1, "every parsed row has a cell");
    for (int column = 0; column < row.ItemCount(); ++column) {
      const std::u16string& stored = row.Items(column).StoredText();
      Require(stored.find_first_of(std::u16string_view(u",|\0", 3)) == std::u16string::npos,
              "no separator or NUL in a parsed cell");
    }
  }
  Require(table.PropertyRow().Id() == 0 && table.PropertyRow().ItemCount() >= 1, "property row shape");
}

bool HasPropertyBlock(const std::u16string& text) {
  return !text.empty() && text.front() == u'#' && text.find(u'#', 1) != std::u16string::npos;
}

std::u16string JoinedRows(const TDataTable& table) {
  std::u16string joined;
  for (int i = 0; i < table.ItemCount(); ++i) {
    if (i > 0) joined += u'|';
    for (int column = 0; column < table.Items(i).ItemCount(); ++column) {
      if (column > 0) joined += u',';
      joined += table.Items(i).Items(column).StoredText();
    }
  }
  return joined;
}

// Writes the table and reads it back. Returns the written text, or nothing when the writer
// refused, which it may do only for the shapes it documents.
std::optional<std::u16string> CheckRoundTrip(const TDataTable& table, bool includeProperties) {
  std::u16string written;
  try {
    written = setup::WriteTableText(table, includeProperties);
  } catch (const setup::ETableTextError&) {
    const bool unwritable = includeProperties ? table.ItemCount() == 1 && JoinedRows(table).empty()
                                              : table.ItemCount() == 0 || HasPropertyBlock(JoinedRows(table));
    Require(unwritable, "the writer refuses only the shapes it documents");
    return std::nullopt;
  }
  TDataTable reread(u"", setup::TColumnSet{1});
  reread.Init(written);
  Require(SameRows(table, reread), "rows survive the round trip");
  if (includeProperties) Require(SameCells(table.PropertyRow(), reread.PropertyRow()), "property row survives");
  Require(setup::WriteTableText(reread, includeProperties) == written, "writing is stable");
  return written;
}

bool IsCleanEscapedText(const std::u16string& stored) {
  for (char16_t c : stored) {
    if (c == u',' || c == u'|' || (c < 32 && c != setup::kEscapedComma && c != setup::kEscapedBar)) return false;
  }
  return true;
}

void CheckCellViews(TDataTable& table) {
  for (int i = 0; i < table.ItemCount(); ++i) {
    TRow& row = table.Items(i);
    for (int column = 0; column < row.ItemCount() && column < 3; ++column) {
      setup::TCell& cell = row.Items(column);
      const std::u16string value = cell.Text();
      if (column == 1) {
        Require(value.find_first_of(std::u16string_view(u"\x1A\x1B", 2)) == std::u16string::npos,
                "escapes read back as separators");
        // A changed value is escaped; reading it back gives the value with control characters
        // blanked, and writing that back changes nothing.
        std::u16string changed = value + u'!';
        cell.SetText(changed);
        const std::u16string once = cell.StoredText();
        Require(IsCleanEscapedText(once), "a converted cell stores only escaped text");
        std::u16string expected = changed.substr(0, changed.find(u'\0'));
        for (char16_t& c : expected) {
          if (c < 32) c = u' ';
        }
        Require(cell.Text() == expected, "a converted cell reads back what was written");
        cell.SetText(cell.Text());
        Require(cell.StoredText() == once, "writing a converted cell's text back changes nothing");
      } else {
        Require(value == cell.StoredText(), "plain columns read as stored");
      }
      try {
        cell.Value();
      } catch (const setup::EConvertError&) {
      }
      try {
        cell.AsBool();
      } catch (const setup::EConvertError&) {
      }
      Require(!cell.StoredText().empty(), "a typed read leaves no empty cell");
    }
  }
  CheckShape(table);
  CheckRoundTrip(table, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }

  TDataTable table(u"", setup::TColumnSet{1});
  table.Init(text);
  CheckShape(table);
  const bool hasBlock = HasPropertyBlock(text);
  const auto withBlock = CheckRoundTrip(table, true);
  const auto withoutBlock = CheckRoundTrip(table, false);
  // A text without NUL is exactly what the writer makes of its parse.
  if (text.find(u'\0') == std::u16string::npos) {
    Require((hasBlock ? withBlock : withoutBlock) == text, "the writer gives back the parsed text");
  }

  // Init again on the same table: the same rows, and the property row of the first parse stays
  // when the text has no block.
  TDataTable again(u"", setup::TColumnSet{1});
  again.Init(u"#keep#");
  again.Init(text);
  Require(SameRows(table, again), "a parse does not depend on the earlier rows");
  if (!hasBlock) Require(again.PropertyRow().Items(0).StoredText() == u"keep", "property row kept");

  CheckCellViews(table);
  return 0;
}
