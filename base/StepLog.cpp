#include "base/StepLog.h"

#include "base/Errors.h"
#include "base/Text.h"

namespace setup {

StepLog::StepLog(const std::u16string& fileName)
    : file_(std::make_unique<FileStream>(fileName, FileStream::Mode::Log)) {}

void StepLog::Line(const std::u16string& text) {
  if (!file_) return;
  const std::string bytes = ToUtf8(text) + "\r\n";
  const std::lock_guard<Mutex> lock(mutex_);
  try {
    file_->WriteBuffer(bytes.data(), bytes.size());
  } catch (const Exception&) {
    // A log that cannot be written must not stop the install.
  }
}

}  // namespace setup
