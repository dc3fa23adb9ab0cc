#include "package/FileTable.h"

#include <limits>
#include <string>

#include "base/CodePage.h"
#include "base/Errors.h"
#include "crypto/Envelope.h"
#include "package/FileTableColumns.h"
#include "package/FileTableLimits.h"
#include "package/PackagePaths.h"
#include "package/PackageTrailer.h"
#include "table/DataTable.h"

namespace setup {

namespace {

using namespace file_table;

// Sum of the unpacked sizes, read for every row before anything else so that a malformed size
// anywhere stops the extraction before any file is touched.
std::int64_t TotalUnpacked(TDataTable& table) {
  std::int64_t total = 0;
  for (int i = 0; i < table.ItemCount(); ++i) {
    TRow& row = table.Items(i);
    const std::int32_t unpacked = row.Items(kUnpackedColumn).Value();
    if (unpacked < 0) throw EPackageError::InvalidSize(unpacked, row.Items(kNameColumn).Text());
    total += unpacked;
    if (total > std::numeric_limits<std::int32_t>::max()) throw EPackageError::TotalTooLarge();
  }
  return total;
}

PackageRow CheckedRow(TRow& row) {
  PackageRow entry;
  entry.folder = row.Items(kFolderColumn).Text();
  if (row.ItemCount() > kDestinationColumn) entry.inDestination = row.Items(kDestinationColumn).AsBool();
  entry.name = row.Items(kNameColumn).Text();
  entry.packedSize = row.Items(kPackedColumn).Value();
  entry.unpackedSize = row.Items(kUnpackedColumn).Value();
  if (entry.packedSize < 0) throw EPackageError::InvalidSize(entry.packedSize, entry.name);

  if (!entry.inDestination.value_or(false) && !IsSafeTargetFolder(entry.folder)) {
    throw EPackageError::InvalidTargetFolder(entry.folder);
  }
  // Checked whole, although only the last component is written: every part of the name reaches
  // the file system in the existence test of a macro row and in messages.
  if (!IsSafeName(entry.name)) throw EPackageError::InvalidFileName(entry.name);
  return entry;
}

}  // namespace

PackageTable LoadFileTable(ByteSource& package, std::u16string_view password) {
  PackageTable result;
  std::optional<TableTextLocation> text = ReadTableText(package);
  if (!text) return result;
  result.present = true;
  result.payloadSize = text->start;

  const std::u16string plain = DecryptEnvelope(AnsiToWide(text->bytes), password);
  // Each row costs memory whatever its text: count them before any is made.
  const auto rows = static_cast<std::int64_t>(TDataTable::RowCountOf(plain));
  if (rows > kMaxRows) throw EPackageError::TooManyRows(rows, kMaxRows);
  TDataTable table(u"", TColumnSet{kNameColumn});
  table.Init(plain);
  result.totalUnpacked = TotalUnpacked(table);

  std::int64_t offset = 0;
  result.rows.reserve(static_cast<std::size_t>(table.ItemCount()));
  for (int i = 0; i < table.ItemCount(); ++i) {
    PackageRow entry = CheckedRow(table.Items(i));
    entry.offset = offset;
    offset += entry.packedSize;
    // Every stream lies in the payload: a size that reaches into the table text or past the end
    // of the file is found here, before any file is written.
    if (offset > result.payloadSize) throw EReadError();
    result.rows.push_back(std::move(entry));
  }
  return result;
}

}  // namespace setup
