// Building a setup package: one zlib stream per file, the file table enciphered in an envelope,
// its length and the tail 0x0A 0x14 0x02.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "package/PackageErrors.h"

namespace setup {

struct PackageEntry {
  std::u16string folder;              // column 0: u"", u"sub\\deeper\\", u"$System$" or u"$Third$"
  std::u16string name;                // column 1: the file name written at extraction
  std::u16string sourceFile;          // the file whose bytes are packed
  std::optional<bool> inDestination;  // column 4, written only when set
};

struct PackageWriterOptions {
  int hashIndex = 3;    // 0 HAVAL, 1 MD5, 2 SHA-1, 3 SHA-256, 4 SHA-512
  int cipherIndex = 5;  // 0 Blowfish ... 5 Rijndael, 6 RC4 ... 8 IDEA
  std::u16string password;
  int level = 6;      // zlib level 0-9, or -1 for zlib's default
  unsigned jobs = 0;  // compression threads; 0 means one per core
  // Salt and initial vector derived from the table text and the password instead of random,
  // so the same input gives the same bytes.
  bool reproducible = false;
  // Called on the calling thread as the streams are written: unpacked bytes done and in all.
  std::function<void(std::int64_t done, std::int64_t total)> onProgress;
};

// Writes the package. Each file is compressed in blocks of a fixed size on all workers, so the
// bytes do not depend on jobs, and memory stays bounded whatever the file sizes. Entries are
// checked first as the reader checks them (EPackageError for a folder or name it would reject,
// or sizes beyond 2147483647 bytes). The package is written under a temporary name and moved
// into place when complete: on failure an existing output file stays as it was. Raises the
// stream errors of base/ and ECipher for an index outside the suites.
void WritePackage(const std::vector<PackageEntry>& entries, const std::u16string& outputFile,
                  const PackageWriterOptions& options);

}  // namespace setup
