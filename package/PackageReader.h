// Reading a package's file table and checking its streams without writing any file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "package/PackageErrors.h"

namespace setup {

// One row of the file table, as the package carries it.
struct PackageRow {
  std::u16string folder;  // column 0: "", "sub\\deeper\\", "$System$", ...
  std::u16string name;    // column 1, unescaped
  std::int32_t packedSize = 0;
  std::int32_t unpackedSize = 0;
  std::optional<bool> inDestination;  // column 4, when the row has it
  std::int64_t offset = 0;            // where the row's stream starts in the package
};

struct PackageTable {
  // False when the length field is not less than the file size: such a package holds nothing.
  bool present = false;
  std::vector<PackageRow> rows;
  std::int64_t totalUnpacked = 0;
  std::int64_t payloadSize = 0;  // bytes before the table text
};

// Reads and checks the table exactly as ExtractPackage does before it writes anything, and
// raises the same errors.
PackageTable ReadPackageTable(const std::u16string& packageFile, std::u16string_view password);

// A stream that failed verification.
struct StreamFault {
  std::size_t row = 0;
  std::u16string message;  // zlib's text, or "Stream read error"
};

// Inflates every stream and checks that it yields exactly its unpacked size with a good
// checksum. Table errors raise as in ReadPackageTable; bad streams are returned, in row order.
// onRow, when given, is called after each row with its index.
std::vector<StreamFault> VerifyPackage(const std::u16string& packageFile, std::u16string_view password,
                                       const std::function<void(std::size_t row)>& onRow = {});

}  // namespace setup
