#include <windows.h>

#include <string>

#include "base/Text.h"
#include "package/HeldFolderEntries.h"

namespace setup {

namespace {

// Every folder on the way is held without delete sharing, so none of them can be renamed or
// swapped for a link while the object lives: the whole path resolves to the folder that was
// checked. The system's calls below act on the last name itself (a link is removed or moved,
// not followed).
std::u16string PathIn(const TargetFolder& folder, std::u16string_view name) {
  return folder.Path() + std::u16string(name);
}

}  // namespace

bool NameExistsIn(const TargetFolder& folder, std::u16string_view name) {
  return folder.IsOpen() && GetFileAttributesW(WidePtr(PathIn(folder, name))) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFileIn(const TargetFolder& folder, std::u16string_view name) {
  return folder.IsOpen() && DeleteFileW(WidePtr(PathIn(folder, name))) != FALSE;
}

bool RenameIn(const TargetFolder& folder, std::u16string_view from, std::u16string_view to) {
  return folder.IsOpen() &&
         MoveFileExW(WidePtr(PathIn(folder, from)), WidePtr(PathIn(folder, to)), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool RemoveEmptyFolderIn(const TargetFolder& folder, std::u16string_view name) {
  return folder.IsOpen() && RemoveDirectoryW(WidePtr(PathIn(folder, name))) != FALSE;
}

}  // namespace setup
