#include "package/PackageTrailer.h"

#include <array>

#include "base/Errors.h"
#include "package/FileTableLimits.h"
#include "package/PackageErrors.h"

namespace setup {

namespace {

constexpr std::uint8_t kLengthMarker = 0x0A;
constexpr std::uint8_t kTailMarker = 0x14;

std::uint8_t ByteAt(ByteSource& package, std::int64_t offset) {
  if (offset < 0) throw EPackageError::TrailerTooShort();
  std::uint8_t byte = 0;
  package.Seek(offset, ByteSource::Origin::Begin);
  package.ReadBuffer(&byte, 1);
  return byte;
}

std::int32_t Int32At(ByteSource& package, std::int64_t offset) {
  if (offset < 0) throw EPackageError::TrailerTooShort();
  std::array<std::uint8_t, 4> bytes{};
  package.Seek(offset, ByteSource::Origin::Begin);
  package.ReadBuffer(bytes.data(), bytes.size());
  const std::uint32_t value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
                              std::uint32_t{bytes[3]} << 24;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<TableTextLocation> ReadTableText(ByteSource& package) {
  const std::int64_t size = package.Size();
  // e: where the length field ends, counted back from the end of the file.
  std::int64_t e = ByteAt(package, size - 2) == kTailMarker ? -2 : -9;
  e -= ByteAt(package, size + e - 1) == kLengthMarker ? 1 : 20;
  const std::int64_t lengthField = size + e - 4;
  const std::int32_t length = Int32At(package, lengthField);
  if (std::int64_t{length} >= size) return std::nullopt;
  if (length < 0) throw EPackageError::InvalidTableLength(length);
  // Before the text is read: a length the file can hold may still be more than any real table.
  if (length > file_table::kMaxTextBytes) throw EPackageError::TableTextTooLarge(length, file_table::kMaxTextBytes);

  TableTextLocation table;
  table.start = lengthField - length;
  if (table.start < 0) throw EReadError();
  table.bytes.resize(static_cast<std::size_t>(length));
  package.Seek(table.start, ByteSource::Origin::Begin);
  package.ReadBuffer(table.bytes.data(), table.bytes.size());
  package.Seek(0, ByteSource::Origin::Begin);
  return table;
}

}  // namespace setup
