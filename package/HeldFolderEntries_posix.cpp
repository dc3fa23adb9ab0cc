#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/Text.h"
#include "package/HeldFolderEntries.h"

namespace setup {

namespace {
int Fd(const TargetFolder& folder) { return static_cast<int>(folder.Handle()); }
}  // namespace

bool NameExistsIn(const TargetFolder& folder, std::u16string_view name) {
  struct stat st {};
  return folder.IsOpen() && ::fstatat(Fd(folder), ToUtf8(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool RemoveFileIn(const TargetFolder& folder, std::u16string_view name) {
  return folder.IsOpen() && ::unlinkat(Fd(folder), ToUtf8(name).c_str(), 0) == 0;
}

bool RenameIn(const TargetFolder& folder, std::u16string_view from, std::u16string_view to) {
  return folder.IsOpen() && ::renameat(Fd(folder), ToUtf8(from).c_str(), Fd(folder), ToUtf8(to).c_str()) == 0;
}

bool RemoveEmptyFolderIn(const TargetFolder& folder, std::u16string_view name) {
  if (!folder.IsOpen()) return false;
  const std::string native = ToUtf8(name);
  struct stat st {};
  if (::fstatat(Fd(folder), native.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  // A link of that name is taken away itself.
  return ::unlinkat(Fd(folder), native.c_str(), S_ISLNK(st.st_mode) ? 0 : AT_REMOVEDIR) == 0;
}

}  // namespace setup
