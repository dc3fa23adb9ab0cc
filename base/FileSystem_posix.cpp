#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/FileSystem.h"
#include "base/Platform.h"
#include "base/Text.h"

namespace setup {

std::string NativePath(const std::u16string& path) {
  std::string out = ToUtf8(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

bool FileExists(const std::u16string& path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::u16string& path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsLink(const std::u16string& path) {
  struct stat st {};
  return ::lstat(NativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool RemoveFile(const std::u16string& path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool RemoveEmptyDirectory(const std::u16string& path) { return ::rmdir(NativePath(path).c_str()) == 0; }

bool ReplaceFileWith(const std::u16string& source, const std::u16string& target) {
  return std::rename(NativePath(source).c_str(), NativePath(target).c_str()) == 0;
}

std::u16string LastErrorText() { return platform::SystemErrorText(static_cast<unsigned long>(errno)); }

namespace platform {
bool CreateOneDirectory(const std::u16string& path) { return ::mkdir(NativePath(path).c_str(), 0777) == 0; }
}  // namespace platform

}  // namespace setup
