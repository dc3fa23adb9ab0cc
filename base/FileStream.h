// A file opened for reading or created for writing, with the toolkit's stream errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ByteSource.h"

namespace setup {

class FileStream final : public ByteSource {
 public:
  enum class Mode {
    OpenRead,  // existing file, read only, others may read too
    Create,    // new or truncated file, read and write, not shared
    // A new file, or an existing plain file appended to (never emptied), written as others read
    // it; a link or reparse point, a folder or a file with other names (hard links) is refused.
    Log,
  };
  // The reason a Log refuses a name that is not a plain file of its own.
  static constexpr char16_t kNotAPlainLogFile[] = u"Not a plain file: a link, a folder or a file with other names";

  // Raises EFOpenError (OpenRead) or EFCreateError (Create, Log) with the system's reason.
  FileStream(const std::u16string& fileName, Mode mode);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  // Writes all `count` bytes or raises EWriteError ("Stream write error").
  void WriteBuffer(const void* buffer, std::size_t count);

  std::int64_t Seek(std::int64_t offset, Origin origin) override;
  std::int64_t Size() override;
  const std::u16string& FileName() const { return fileName_; }

 private:
  std::u16string fileName_;
  std::intptr_t handle_;  // HANDLE on Windows, file descriptor elsewhere
};

}  // namespace setup
