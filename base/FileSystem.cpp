#include "base/FileSystem.h"

#include "base/Errors.h"
#include "base/Platform.h"

namespace setup {

bool IsPathDelimiter(char16_t c) { return c == u'\\' || c == u'/'; }

std::u16string IncludeTrailingPathDelimiter(std::u16string path) {
  if (!path.empty() && !IsPathDelimiter(path.back())) path += kPathDelimiter;
  return path;
}

bool ForceDirectories(std::u16string path) {
  if (path.empty()) throw EInOutError::CannotCreateDirectory();
  while (path.size() > 1 && IsPathDelimiter(path.back())) path.pop_back();
  if (DirectoryExists(path)) return true;
  const auto cut = path.find_last_of(u"\\/");
  // Stop at a drive ("C:") or the root: they cannot be created.
  if (cut != std::u16string::npos && cut > 0 && !(cut == 2 && path[1] == u':')) {
    if (!ForceDirectories(path.substr(0, cut))) return false;
  }
  return platform::CreateOneDirectory(path) || DirectoryExists(path);
}

}  // namespace setup
