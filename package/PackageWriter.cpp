#include "package/PackageWriter.h"

#include <zlib.h>

#include <array>
#include <limits>
#include <memory>
#include <vector>

#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/Text.h"
#include "base/Threads.h"
#include "crypto/BlockCipher.h"
#include "crypto/Envelope.h"
#include "crypto/SecureWipe.h"
#include "crypto/Suite.h"
#include "package/BlockDeflater.h"
#include "package/CompressionJobs.h"
#include "package/FileTableColumns.h"
#include "package/PackagePaths.h"
#include "package/ReplacingFile.h"
#include "table/DataTable.h"
#include "table/TableText.h"

namespace setup {

namespace {

using namespace file_table;
constexpr std::array<std::uint8_t, 3> kTail = {0x0A, 0x14, 0x02};
constexpr std::int64_t kSizeLimit = std::numeric_limits<std::int32_t>::max();

// The same checks the reader makes, so that every package written can be extracted.
void CheckEntry(const PackageEntry& entry) {
  // Column 0 is carried as it stands: "," and "|" would split the table text.
  if (!entry.inDestination.value_or(false) &&
      (!IsSafeTargetFolder(entry.folder) || entry.folder.find_first_of(u",|") != std::u16string::npos)) {
    throw EPackageError::InvalidTargetFolder(entry.folder);
  }
  if (!IsSafeName(entry.name)) throw EPackageError::InvalidFileName(entry.name);
}

// One row per entry; the sizes are filled in once the streams are written.
std::unique_ptr<TDataTable> MakeTable(const std::vector<PackageEntry>& entries) {
  auto table = std::make_unique<TDataTable>(u"", TColumnSet{kNameColumn});
  for (const PackageEntry& entry : entries) {
    auto fresh = std::make_unique<TRow>();
    fresh->Init(entry.inDestination ? u",,,," : u",,,", u',');
    TRow& row = table->AddItem(std::move(fresh));
    row.Items(kFolderColumn).SetText(entry.folder);
    row.Items(kNameColumn).SetText(entry.name);
    // Control characters would be blanked in the stored name and the file would get another name.
    if (row.Items(kNameColumn).Text() != entry.name) throw EPackageError::InvalidFileName(entry.name);
    row.Items(kPackedColumn).SetValue(0);
    row.Items(kUnpackedColumn).SetValue(0);
    if (entry.inDestination) row.Items(kDestinationColumn).SetAsBool(*entry.inDestination);
  }
  return table;
}

// Without rows the table needs its property block: an empty rows part reads as one empty row.
std::u16string TableText(const TDataTable& table) { return WriteTableText(table, table.ItemCount() == 0); }

std::int64_t SourceSize(const std::u16string& source) {
  FileStream file(source, FileStream::Mode::OpenRead);
  return file.Size();
}

int InitVectorLength(int cipherIndex) {
  const std::unique_ptr<TCipher> cipher = CreateCipherByIndex(cipherIndex);
  const auto* block = cipher ? cipher->AsBlockCipher() : nullptr;
  return block ? block->GetBlockSize() / 8 : 0;
}

// Salt and initial vector from SHA-256 of the table text and the password, spelt in a 64-letter
// alphabet of printable ASCII whose letters stay printable after the index subtraction.
std::u16string ReproducibleEnvelope(const PackageWriterOptions& options, const std::u16string& plainText) {
  static constexpr std::u16string_view kAlphabet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::unique_ptr<THash> hash = CreateHashByIndex(3);
  SecureArray<std::uint8_t, 32> digest;
  hash->Init();
  hash->UpdateStr(std::u16string_view(plainText));
  hash->UpdateStr(std::u16string_view(options.password));
  hash->Final(digest.data());
  std::u16string salt;
  std::u16string initVector;
  for (std::size_t i = 0; i < 8; ++i) salt += kAlphabet[digest[i] & 63];
  const int ivLength = InitVectorLength(options.cipherIndex);
  for (int i = 0; i < ivLength; ++i) initVector += kAlphabet[digest[8 + static_cast<std::size_t>(i)] & 63];
  return EncryptEnvelope(options.hashIndex, options.cipherIndex, options.password, plainText, salt, initVector);
}

std::string EnvelopeBytes(const std::u16string& envelope) {
  std::string bytes;
  bytes.reserve(envelope.size());
  for (const char16_t c : envelope) {
    if (c >= 0x80) throw EPackageError(u"The table envelope is not ASCII text");
    bytes += static_cast<char>(c);
  }
  return bytes;
}

struct DeflatedSizes {
  std::int64_t packed = 0;
  std::int64_t unpacked = 0;
};

// One zlib stream: the header, the file's blocks in order, the Adler-32 of the whole file.
DeflatedSizes WriteStream(ReplacingFile& output, CompressionJobs& jobs, std::size_t entry,
                          const std::array<std::uint8_t, 2>& header) {
  DeflatedSizes sizes;
  output.Write(header.data(), header.size());
  sizes.packed = static_cast<std::int64_t>(header.size());
  uLong adler = adler32(0, nullptr, 0);
  for (std::int64_t b = 0; b < jobs.BlockCount(entry); ++b) {
    const DeflatedBlock block = jobs.Next();
    output.Write(block.data.data(), block.data.size());
    sizes.packed += static_cast<std::int64_t>(block.data.size());
    sizes.unpacked += block.size;
    adler = adler32_combine(adler, block.adler, static_cast<z_off_t>(block.size));
  }
  const auto checksum = static_cast<std::uint32_t>(adler);
  const std::array<std::uint8_t, 4> trailer = {
      static_cast<std::uint8_t>(checksum >> 24), static_cast<std::uint8_t>(checksum >> 16),
      static_cast<std::uint8_t>(checksum >> 8), static_cast<std::uint8_t>(checksum)};
  output.Write(trailer.data(), trailer.size());
  sizes.packed += static_cast<std::int64_t>(trailer.size());
  if (sizes.packed > kSizeLimit) throw EPackageError::TotalTooLarge();
  return sizes;
}

unsigned WorkerCount(unsigned jobs) {
  if (jobs != 0) return jobs;
  return HardwareThreads();
}

}  // namespace

void WritePackage(const std::vector<PackageEntry>& entries, const std::u16string& outputFile,
                  const PackageWriterOptions& options) {
  if (!CreateHashByIndex(options.hashIndex) || !CreateCipherByIndex(options.cipherIndex)) {
    throw ECipher(u"Invalid hash or cipher index");
  }
  if (options.level < -1 || options.level > 9) {
    throw EPackageError(FormatText(u"Invalid compression level (%d)", {IntToText(options.level)}));
  }
  std::int64_t total = 0;
  std::vector<CompressionJobs::Source> sources;
  sources.reserve(entries.size());
  for (const PackageEntry& entry : entries) {
    CheckEntry(entry);
    const std::int64_t size = SourceSize(entry.sourceFile);
    total += size;
    if (total > kSizeLimit) throw EPackageError::TotalTooLarge();
    sources.push_back({entry.sourceFile, size});
  }
  const std::unique_ptr<TDataTable> table = MakeTable(entries);
  TableText(*table);  // a table the text form cannot carry fails before any work

  ReplacingFile output(outputFile);
  CompressionJobs jobs(std::move(sources), options.level, WorkerCount(options.jobs));
  const std::array<std::uint8_t, 2> header = ZlibHeader(options.level);
  std::int64_t done = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const DeflatedSizes sizes = WriteStream(output, jobs, i, header);
    TRow& row = table->Items(static_cast<int>(i));
    row.Items(kPackedColumn).SetValue(static_cast<std::int32_t>(sizes.packed));
    row.Items(kUnpackedColumn).SetValue(static_cast<std::int32_t>(sizes.unpacked));
    done += sizes.unpacked;
    if (options.onProgress) options.onProgress(done, total);
  }

  const std::u16string plainText = TableText(*table);
  const std::string envelope = EnvelopeBytes(
      options.reproducible ? ReproducibleEnvelope(options, plainText)
                           : EncryptEnvelope(options.hashIndex, options.cipherIndex, options.password, plainText));
  if (envelope.size() > static_cast<std::size_t>(kSizeLimit)) throw EPackageError::TotalTooLarge();
  const auto length = static_cast<std::uint32_t>(envelope.size());
  const std::array<std::uint8_t, 4> lengthField = {
      static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
      static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
  output.Write(envelope.data(), envelope.size());
  output.Write(lengthField.data(), lengthField.size());
  output.Write(kTail.data(), kTail.size());
  output.Commit();
}

}  // namespace setup
