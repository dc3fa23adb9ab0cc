// The destination folder the install proposes (Windows only).
#pragma once

#include <string>

#include "install/UninstallEntry.h"

namespace setup {

// The folder of an earlier installation when that folder still exists: the one its Uninstall
// entry names, else the one its shortcut leads to (the all-users Start menu entry or desktop
// shortcut, else the user's Quick Launch or desktop shortcut that earlier versions made);
// otherwise "%PROGRAMFILES%\Velmora Soft\<short name>" (machine-wide) or
// "%LOCALAPPDATA%\Programs\<short name>" (one user's, where the system keeps such programs).
// Without a trailing backslash.
std::u16string ProposedDestination(const ProductIdentity& product, InstallScope scope,
                                   const std::u16string& displayName, const std::u16string& shortName);

}  // namespace setup
