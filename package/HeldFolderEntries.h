// Removing and renaming names inside a held folder (see TargetFolder): the folder and every
// folder on its way stay as they were checked, and the last name is taken as it stands, so a link
// there is removed or renamed itself and never followed. Rollback and recovery reach every path
// this way: a folder swapped for a junction or link after the install wrote into it cannot send a
// delete or a move elsewhere.
#pragma once

#include <string_view>

#include "package/TargetFolder.h"

namespace setup {

// True when something (a file, a folder, a link) has this name in the folder.
bool NameExistsIn(const TargetFolder& folder, std::u16string_view name);
// Removes a file (or a link to one); a folder of that name stays.
bool RemoveFileIn(const TargetFolder& folder, std::u16string_view name);
// Renames `from` to `to` in the same folder, replacing a file at `to`.
bool RenameIn(const TargetFolder& folder, std::u16string_view from, std::u16string_view to);
// Removes an empty folder (or a link of that name, never what it leads to).
bool RemoveEmptyFolderIn(const TargetFolder& folder, std::u16string_view name);

}  // namespace setup
