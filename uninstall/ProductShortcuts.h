// The product's shortcuts: the all-users desktop and Start menu entry, and the user's desktop and
// Quick Launch ones (Windows only). The calling thread must have joined a COM apartment.
#pragma once

#include <string>
#include <vector>

namespace setup {

// The file a shortcut starts, as the shortcut holds it (no search for a moved target, so no dialog
// can appear), or empty when the shortcut cannot be read.
std::u16string ShortcutTarget(const std::u16string& linkFile);

// The shortcut files named after the display name in the all-users desktop and Start menu
// Programs folders and the user's desktop and Quick Launch folders (the name the setup gave them,
// and displayName + ".lnk" when that differs) whose target lies in installFolder. Shortcuts to
// anything else, a person's own ones included, are not returned.
std::vector<std::u16string> FindProductShortcuts(const std::u16string& displayName,
                                                 const std::u16string& installFolder);

}  // namespace setup
