// The destination folder the install proposes (Windows only).
#pragma once

#include <string>

namespace setup {

// The folder of an earlier installation, found through its shortcut (the all-users Start menu
// entry or desktop shortcut, else the user's Quick Launch or desktop shortcut that earlier
// versions made) when that folder still exists, else
// "%PROGRAMFILES%\Velmora Soft\<short name>"; without a trailing backslash.
std::u16string ProposedDestination(const std::u16string& displayName, const std::u16string& shortName);

}  // namespace setup
