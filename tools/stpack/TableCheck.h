// Reading a package's file table for the commands that need one.
#pragma once

#include <string>
#include <string_view>

#include "package/PackageReader.h"

namespace setup::stpack {

// The table, or an Exception when the package holds none (its length field is not less than
// its size): extraction would then silently do nothing, which for a tool means a wrong file.
PackageTable RequireTable(const std::u16string& packageFile, std::u16string_view password);

}  // namespace setup::stpack
