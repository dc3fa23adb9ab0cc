#include "wizard/ProposedDestination.h"

#include "shell/Shortcuts.h"
#include "wizard/SystemFacts.h"

namespace setup {

std::u16string ProposedDestination(const std::u16string& displayName, const std::u16string& shortName) {
  // An earlier installation's shortcut names the folder it went to.
  std::u16string folder = FindShortcutFolder(displayName, u"QuickLaunch");
  if (folder.empty()) folder = FindShortcutFolder(displayName, u"Desktop");
  if (!folder.empty()) {
    folder.pop_back();  // the trailing backslash
    return folder;
  }
  return EnvironmentVariable(u"PROGRAMFILES") + u"\\Velmora Soft\\" + shortName;
}

}  // namespace setup
