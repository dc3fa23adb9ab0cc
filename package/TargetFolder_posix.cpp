#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/FileSystem.h"
#include "base/Text.h"
#include "package/PackageErrors.h"
#include "package/TargetFolder.h"

namespace setup {

namespace {
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
}  // namespace

bool TargetFolder::OpenBase(const std::u16string& path) {
  const int fd = ::open(path.empty() ? "." : NativePath(path).c_str(), kFolderFlags);
  if (fd < 0) return false;
  handles_.push_back(fd);
  return true;
}

bool TargetFolder::OpenComponent(std::u16string_view component, Missing missing, const std::u16string& path) {
  const int parent = static_cast<int>(handles_.back());
  const std::string name = ToUtf8(component);
  int fd = ::openat(parent, name.c_str(), kFolderFlags | O_NOFOLLOW);
  if (fd < 0 && errno == ENOENT && missing == Missing::Create) {
    if (::mkdirat(parent, name.c_str(), 0777) != 0 && errno != EEXIST) return false;
    fd = ::openat(parent, name.c_str(), kFolderFlags | O_NOFOLLOW);
  }
  if (fd < 0) {
    const int reason = errno;
    struct stat st {};
    if (::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
      throw EPackageError::LinkInTargetFolder(path);
    }
    errno = reason;
    return false;
  }
  handles_.push_back(fd);
  return true;
}

void TargetFolder::CloseHandle(std::intptr_t handle) noexcept { ::close(static_cast<int>(handle)); }

}  // namespace setup
