// What an install asks of an extraction beyond writing the files: progress by bytes, a way to
// stop it, the names of the files as they are written, and the journal that makes it undoable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/Errors.h"

namespace setup {

class InstallJournal;
struct PackageTable;

// The extraction was stopped on request ("Cancelled").
class ECancelled : public Exception {
 public:
  ECancelled() : Exception(u"Cancelled") {}
};

struct ExtractControl {
  // Unpacked bytes done and the package's total: after every chunk written, so it moves inside a
  // large file, and after every file kept as it was. Never goes back.
  std::function<void(std::int64_t done, std::int64_t total)> onBytes;
  // The full path of each file before it is written (or kept, for a system file already there).
  std::function<void(const std::u16string& target)> onFile;
  // Asked before every chunk and every file; true stops the extraction with ECancelled.
  std::function<bool()> cancelled;
  // Records every folder, temporary file and replaced file; none for a plain extraction.
  InstallJournal* journal = nullptr;
  // The package's file table as the caller has already read it from this package (an install
  // reads it first to check the free space), so that it is not deciphered a second time.
  const PackageTable* table = nullptr;
};

}  // namespace setup
