#include "tools/stpack/TableCheck.h"

#include "base/Errors.h"
#include "base/Text.h"

namespace setup::stpack {

PackageTable RequireTable(const std::u16string& packageFile, std::u16string_view password) {
  PackageTable table = ReadPackageTable(packageFile, password);
  if (!table.present) throw Exception(FormatText(u"\"%s\" holds no file table", {packageFile}));
  return table;
}

}  // namespace setup::stpack
