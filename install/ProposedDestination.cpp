#include "install/ProposedDestination.h"

#include "base/FileSystem.h"
#include "install/InstallEngine.h"
#include "install/SystemFacts.h"
#include "shell/ShellFolders.h"
#include "shell/Shortcuts.h"

namespace setup {

std::u16string ProposedDestination(const ProductIdentity& product, InstallScope scope,
                                   const std::u16string& displayName, const std::u16string& shortName) {
  // The entry first: it is there whoever installed (an administrator, the system account) and
  // whichever shortcuts were made or deleted since.
  if (const auto earlier = FindEarlierInstall(product, scope); earlier && DirectoryExists(earlier->location)) {
    std::u16string location = earlier->location;
    while (location.size() > 3 && location.back() == u'\\') location.pop_back();
    return location;
  }
  // An earlier installation's shortcut names the folder it went to: the machine-wide Start menu
  // entry and desktop shortcut of this version, or the per-user ones of earlier versions.
  std::u16string folder = FindShortcutFolderIn(GetCommonFolder(CommonPlace::Programs), displayName);
  if (folder.empty()) folder = FindShortcutFolderIn(GetCommonFolder(CommonPlace::Desktop), displayName);
  if (folder.empty()) folder = FindShortcutFolder(displayName, u"QuickLaunch");
  if (folder.empty()) folder = FindShortcutFolder(displayName, u"Desktop");
  // A shortcut left behind by an install whose folder was deleted names no install any more.
  if (!folder.empty() && DirectoryExists(folder)) {
    folder.pop_back();  // the trailing backslash
    return folder;
  }
  if (scope == InstallScope::User) return EnvironmentVariable(u"LOCALAPPDATA") + u"\\Programs\\" + shortName;
  return EnvironmentVariable(u"PROGRAMFILES") + u"\\Velmora Soft\\" + shortName;
}

}  // namespace setup
