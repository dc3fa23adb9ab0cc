// A file opened for reading or created for writing, with the toolkit's stream errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace setup {

class FileStream {
 public:
  enum class Mode {
    OpenRead,   // existing file, read only, others may read too
    Create,     // new or truncated file, read and write, not shared
  };
  enum class Origin { Begin, Current, End };

  // Raises EFOpenError (OpenRead) or EFCreateError (Create) with the system's reason.
  FileStream(const std::u16string& fileName, Mode mode);
  ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Reads up to `count` bytes; returns how many were read (0 at the end).
  std::size_t Read(void* buffer, std::size_t count);
  // Reads exactly `count` bytes or raises EReadError ("Stream read error").
  void ReadBuffer(void* buffer, std::size_t count);
  // Writes all `count` bytes or raises EWriteError ("Stream write error").
  void WriteBuffer(const void* buffer, std::size_t count);

  std::int64_t Seek(std::int64_t offset, Origin origin);
  std::int64_t Position() { return Seek(0, Origin::Current); }
  std::int64_t Size();
  const std::u16string& FileName() const { return fileName_; }

 private:
  std::u16string fileName_;
  std::intptr_t handle_;  // HANDLE on Windows, file descriptor elsewhere
};

}  // namespace setup
