// The file list that Uninst.exe carries as its resource "UNINSTALLFILES" (Windows only).
#pragma once

#include <string>
#include <vector>

namespace setup {

// The parsed list (format in FileList.h). Raises EFileListError when the resource is missing or
// breaks the format.
std::vector<std::u16string> LoadInstalledFileList();

}  // namespace setup
