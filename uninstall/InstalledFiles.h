// Removal of the files that the package put into the install folder (Windows only). Only listed
// files are touched: whatever a person added to the folder stays.
#pragma once

#include <string>
#include <vector>

namespace setup {

// Deletes each listed file (paths relative to installFolder, which ends in "\"). A file that is
// already gone counts as removed; a read-only one loses that attribute first. The file `keep`
// (the running uninstaller) is skipped: it is removed after the program has ended. A listed file
// reached through a linked folder (a junction or symbolic link below the install folder) is not
// ours to delete and is skipped too: every folder on the way is reached without following a link
// and held until the file is gone. Returns the full paths of the files that are still there.
std::vector<std::u16string> RemoveListedFiles(const std::u16string& installFolder,
                                              const std::vector<std::u16string>& files, const std::u16string& keep);

// Removes the listed folders (relative, deepest first) that are now empty, each reached like the
// files; others stay, and so does a folder that is itself a link.
void RemoveEmptyFolders(const std::u16string& installFolder, const std::vector<std::u16string>& folders);

}  // namespace setup
