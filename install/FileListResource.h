// The file list that Uninst.exe carries as its resource "UNINSTALLFILES" (Windows only): read by
// the uninstaller from itself, and by Setup from the uninstaller of the install it upgrades.
#pragma once

#include <string>
#include <vector>

namespace setup {

// This program's list (format in FileList.h). Raises EFileListError when the resource is missing
// or breaks the format.
std::vector<std::u16string> LoadInstalledFileList();

// The list in the uninstaller file `uninstaller`, loaded as data only: none of its code runs and
// nothing it imports is loaded. Raises EFileListError when the file cannot be loaded, has no list
// or its list breaks the format.
std::vector<std::u16string> LoadInstalledFileList(const std::u16string& uninstaller);

}  // namespace setup
