#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/FileSystem.h"
#include "package/ReplacingFile.h"

namespace setup {

bool ReplacingFile::CreateExclusive() {
  const int fd = ::open(NativePath(temporary_).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  handle_ = fd;
  return fd >= 0;
}

bool ReplacingFile::WriteSome(const std::uint8_t* data, std::size_t size, std::size_t& written) {
  for (;;) {
    const ssize_t n = ::write(static_cast<int>(handle_), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    written = static_cast<std::size_t>(n);
    return true;
  }
}

bool ReplacingFile::Close() {
  const int fd = static_cast<int>(handle_);
  handle_ = -1;
  return ::close(fd) == 0;
}

bool ReplacingFile::MoveOverTarget() {
  return std::rename(NativePath(temporary_).c_str(), NativePath(target_).c_str()) == 0;
}

}  // namespace setup
