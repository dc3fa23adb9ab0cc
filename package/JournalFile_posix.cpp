#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/FileSystem.h"
#include "package/JournalFile.h"

namespace setup::journal_file {

std::intptr_t CreateExclusive(const std::u16string& path) {
  const int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
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

Trust OpenTrusted(const std::u16string& path, std::intptr_t& file) {
  const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Trust::Missing : Trust::Refused;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != ::geteuid()) {
    ::close(fd);
    return Trust::Refused;
  }
  file = fd;
  return Trust::Trusted;
}

bool ReadAll(std::intptr_t file, std::string& text, std::size_t limit) {
  text.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(file), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (text.size() + static_cast<std::size_t>(n) > limit) return false;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

bool MakeProtectedFolder(const std::u16string& path, JournalWriters /*writers*/) {
  // One owner, who alone may write: the same for both kinds of writers here.
  const std::string native = NativePath(path);
  if (::mkdir(native.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (::lstat(native.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace setup::journal_file
