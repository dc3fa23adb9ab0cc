// A log of the steps of an install or a removal: one UTF-8 line per step and per file, written
// at once, from any thread. Without a file name it writes nothing.
#pragma once

#include <memory>
#include <string>

#include "base/FileStream.h"
#include "base/Threads.h"

namespace setup {

class StepLog {
 public:
  StepLog() = default;
  // Creates the file, or appends to an existing plain one. Raises EFCreateError when it cannot,
  // and for a link, a reparse point, a folder or a file with other names.
  explicit StepLog(const std::u16string& fileName);

  void Line(const std::u16string& text);

 private:
  Mutex mutex_;
  std::unique_ptr<FileStream> file_;
};

}  // namespace setup
