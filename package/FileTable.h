// Loading and checking the file table of an open package: the one place that reads its rows.
#pragma once

#include <string_view>

#include "base/ByteSource.h"
#include "package/PackageReader.h"

namespace setup {

// Finds the table through the trailer, deciphers it and checks every row: first the unpacked
// sizes of all rows (column 3) and their total, then each row's folder, destination flag, name
// and compressed size, and that the streams fit before the table text. Raises EListError and
// EConvertError for malformed cells, EPackageError for unsafe paths, bad sizes and a table beyond
// the limits of FileTableLimits.h (checked before any row is made), EReadError
// for streams that would run past the payload.
PackageTable LoadFileTable(ByteSource& package, std::u16string_view password);

}  // namespace setup
