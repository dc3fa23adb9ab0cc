// Finding the file table through the package trailer: the marker bytes at the end of the file
// choose one of four layouts, each with a signed 32-bit length field right after the table text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/ByteSource.h"

namespace setup {

struct TableTextLocation {
  std::int64_t start = 0;  // offset of the table text: everything before it is payload
  std::string bytes;       // the 8-bit table text
};

// No value when the length field is not less than the file size (such a package holds nothing).
// Raises EPackageError for a file too short for the layout its markers select, a negative
// length or one above file_table::kMaxTextBytes, and EReadError when the table text would start
// before the file.
std::optional<TableTextLocation> ReadTableText(ByteSource& package);

}  // namespace setup
