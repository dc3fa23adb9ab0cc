#include <windows.h>

#include "base/FileSystem.h"
#include "base/Platform.h"
#include "base/Text.h"

namespace setup {

namespace {
DWORD Attributes(const std::u16string& path) { return GetFileAttributesW(WidePtr(path)); }
}  // namespace

bool FileExists(const std::u16string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::u16string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLink(const std::u16string& path) {
  // GetFileAttributesW looks at the entry itself: a reparse point is never followed here.
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool RemoveFile(const std::u16string& path) { return DeleteFileW(WidePtr(path)) != 0; }

bool RemoveEmptyDirectory(const std::u16string& path) { return RemoveDirectoryW(WidePtr(path)) != 0; }

bool ReplaceFileWith(const std::u16string& source, const std::u16string& target) {
  return MoveFileExW(WidePtr(source), WidePtr(target), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::u16string LastErrorText() { return platform::SystemErrorText(GetLastError()); }

namespace platform {
bool CreateOneDirectory(const std::u16string& path) { return CreateDirectoryW(WidePtr(path), nullptr) != 0; }
}  // namespace platform

}  // namespace setup
