#include "uninstall/InstalledFiles.h"

#include <windows.h>

#include "base/Text.h"
#include "uninstall/FilePaths.h"

namespace setup {

namespace {

bool IsGone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Whether a folder between the install folder and the file is a link to somewhere else.
bool PassesThroughLink(const std::u16string& installFolder, const std::u16string& relativePath) {
  for (std::size_t separator = relativePath.find(u'\\'); separator != std::u16string::npos;
       separator = relativePath.find(u'\\', separator + 1)) {
    const DWORD attributes = GetFileAttributesW(WidePtr(installFolder + relativePath.substr(0, separator)));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  }
  return false;
}

// True when the file is gone afterwards.
bool DeleteInstalledFile(const std::u16string& path) {
  if (DeleteFileW(WidePtr(path))) return true;
  const DWORD error = GetLastError();
  if (IsGone(error)) return true;
  if (error != ERROR_ACCESS_DENIED) return false;
  const DWORD attributes = GetFileAttributesW(WidePtr(path));
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !(attributes & FILE_ATTRIBUTE_READONLY)) {
    return false;
  }
  SetFileAttributesW(WidePtr(path), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return DeleteFileW(WidePtr(path)) || IsGone(GetLastError());
}

}  // namespace

std::vector<std::u16string> RemoveListedFiles(const std::u16string& installFolder,
                                              const std::vector<std::u16string>& files, const std::u16string& keep) {
  std::vector<std::u16string> left;
  for (const std::u16string& file : files) {
    const std::u16string path = installFolder + file;
    if (PassesThroughLink(installFolder, file) || SameFile(path, keep)) continue;
    if (!DeleteInstalledFile(path)) left.push_back(path);
  }
  return left;
}

void RemoveEmptyFolders(const std::u16string& installFolder, const std::vector<std::u16string>& folders) {
  for (const std::u16string& folder : folders) {
    const std::u16string path = installFolder + folder;
    const DWORD attributes = GetFileAttributesW(WidePtr(path));
    // A linked folder is removed as a link only: RemoveDirectoryW never follows it, but a link a
    // person made is not ours either.
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    RemoveDirectoryW(WidePtr(path));  // fails, as it should, while the folder holds anything
  }
}

}  // namespace setup
