#include "uninstall/InstalledFiles.h"

#include <windows.h>

#include <optional>

#include "base/Text.h"
#include "package/HeldFolderEntries.h"
#include "package/PackageErrors.h"
#include "package/TargetFolder.h"
#include "shell/FilePaths.h"

namespace setup {

namespace {

bool IsGone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

struct Split {
  std::u16string below;  // the folders, each ending in "\"
  std::u16string name;
};

Split SplitRelative(const std::u16string& relative) {
  std::u16string path = relative;
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  const std::size_t cut = path.find_last_of(u'\\');
  if (cut == std::u16string::npos) return {u"", path};
  return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

enum class Reach { Held, Gone, ThroughLink };

// The folder below the install folder, reached without following a link and held while the
// object lives, so that nothing on the way can be swapped for a junction between the look and
// the delete.
Reach HoldFolder(const std::u16string& installFolder, const std::u16string& below, std::optional<TargetFolder>& held) {
  try {
    held.emplace(installFolder, below, TargetFolder::Missing::Stop);
  } catch (const EPackageError&) {
    return Reach::ThroughLink;  // a linked folder: what lies behind it is not ours
  }
  return held->IsOpen() ? Reach::Held : Reach::Gone;
}

// True when the file is gone afterwards. The name itself is never followed: a link of that name
// is removed as a link.
bool DeleteInstalledFile(const TargetFolder& folder, const std::u16string& name) {
  if (RemoveFileIn(folder, name)) return true;
  const DWORD error = GetLastError();
  if (IsGone(error)) return true;
  if (error != ERROR_ACCESS_DENIED) return false;
  const std::u16string path = folder.Path() + name;
  const DWORD attributes = GetFileAttributesW(WidePtr(path));
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(attributes & FILE_ATTRIBUTE_READONLY)) {
    return false;
  }
  SetFileAttributesW(WidePtr(path), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return RemoveFileIn(folder, name) || IsGone(GetLastError());
}

}  // namespace

std::vector<std::u16string> RemoveListedFiles(const std::u16string& installFolder,
                                              const std::vector<std::u16string>& files, const std::u16string& keep) {
  std::vector<std::u16string> left;
  for (const std::u16string& file : files) {
    const std::u16string path = installFolder + file;
    if (SameFile(path, keep)) continue;
    const Split split = SplitRelative(file);
    std::optional<TargetFolder> folder;
    if (HoldFolder(installFolder, split.below, folder) != Reach::Held) continue;
    if (!DeleteInstalledFile(*folder, split.name)) left.push_back(path);
  }
  return left;
}

void RemoveEmptyFolders(const std::u16string& installFolder, const std::vector<std::u16string>& folders) {
  for (const std::u16string& relative : folders) {
    const Split split = SplitRelative(relative);
    std::optional<TargetFolder> parent;
    if (split.name.empty() || HoldFolder(installFolder, split.below, parent) != Reach::Held) continue;
    const DWORD attributes = GetFileAttributesW(WidePtr(parent->Path() + split.name));
    // A linked folder is a link a person made, not ours: it stays, as does what it leads to.
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    (void)RemoveEmptyFolderIn(*parent, split.name);  // fails, as it should, while the folder holds anything
  }
}

}  // namespace setup
