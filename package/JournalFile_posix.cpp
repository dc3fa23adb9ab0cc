#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/FileSystem.h"
#include "package/JournalFile.h"

namespace setup::journal_file {

std::intptr_t CreateExclusive(const std::u16string& path) {
  const int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  return fd < 0 ? kNoFile : fd;
}

bool Append(std::intptr_t file, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size != 0) {
    const ssize_t n = ::write(static_cast<int>(file), bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool Flush(std::intptr_t file) {
  while (::fdatasync(static_cast<int>(file)) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

void Close(std::intptr_t file) {
  if (file != kNoFile) ::close(static_cast<int>(file));
}

}  // namespace setup::journal_file
