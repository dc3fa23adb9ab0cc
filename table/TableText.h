// Writing a table in its one-line text form, for the package writer.
#pragma once

#include <string>

#include "base/Errors.h"
#include "table/DataTable.h"

namespace setup {

// A table whose cell texts the text form cannot carry so that TDataTable::Init reads them back.
class ETableTextError : public Exception {
 public:
  using Exception::Exception;
};

// The stored cell texts of each row joined by ",", the rows joined by "|"; with includeProperties
// the property row's stored texts, joined by ",", come first between two "#".
//
// TDataTable::Init of the result gives back the same rows (and property row, when included) with
// the same stored texts. Shapes that cannot be written so raise ETableTextError:
// - a row's stored text holding ",", "|" or NUL (converted columns store "," and "|" escaped;
//   other columns cannot hold them), or a property cell holding ",", "#" or NUL;
// - a row (or included property row) without cells: its text is read back as one empty cell;
// - without the property block: a table without rows (the empty text is read as one row with one
//   empty cell), or a text that begins with "#" and holds a second "#" (it would be read as a
//   property block);
// - with the property block: a table whose only row is one empty cell (nothing follows the
//   block, which is read as no rows).
std::u16string WriteTableText(const TDataTable& table, bool includeProperties);

}  // namespace setup
