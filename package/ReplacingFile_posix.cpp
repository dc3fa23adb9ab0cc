#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/Text.h"
#include "package/ReplacingFile.h"

namespace setup {

namespace {
int FolderOf(const TargetFolder* folder) { return static_cast<int>(folder->Handle()); }
}  // namespace

bool ReplacingFile::CreateExclusive() {
  const int fd = ::openat(FolderOf(folder_), ToUtf8(temporaryName_).c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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

// Closed first, so that an error that close reports (a full disk on a network volume, say) stops
// the file before it replaces anything. renameat replaces a link at the target name by the file;
// it never writes through it.
ReplacingFile::Ending ReplacingFile::CloseAndMove() {
  if (!Close()) return Ending::CloseFailed;
  const int folder = FolderOf(folder_);
  const bool moved = ::renameat(folder, ToUtf8(temporaryName_).c_str(), folder, ToUtf8(name_).c_str()) == 0;
  return moved ? Ending::Done : Ending::MoveFailed;
}

void ReplacingFile::RemoveTemporary() noexcept { ::unlinkat(FolderOf(folder_), ToUtf8(temporaryName_).c_str(), 0); }

}  // namespace setup
