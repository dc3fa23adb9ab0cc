#include "uninstall/ProductShortcuts.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <algorithm>

#include "base/Errors.h"
#include "base/Text.h"
#include "shell/ComPtr.h"
#include "shell/FilePaths.h"
#include "shell/ShellFolders.h"
#include "shell/ShellPaths.h"

namespace setup {

namespace {

bool IsFile(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(WidePtr(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The place's folder, or empty when it has none or its registry record is unreadable.
std::u16string PlaceFolder(ShortcutPlace place) {
  try {
    return GetSpecialFolder(place);
  } catch (const Exception&) {
    return {};
  }
}

// Where the setup puts shortcuts: the all-users desktop and Start menu entry of a machine-wide
// install, the user's desktop and Start menu entry of one user's install, and the user's Quick
// Launch folder (earlier versions put their desktop shortcut in the user's desktop too).
std::vector<std::u16string> ShortcutFolders() {
  return {GetCommonFolder(CommonPlace::Desktop), GetCommonFolder(CommonPlace::Programs), PlaceFolder(spDesktop),
          GetUserProgramsFolder(), PlaceFolder(spQuickLaunch)};
}

}  // namespace

std::u16string ShortcutTarget(const std::u16string& linkFile) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())))
    return {};
  ComPtr<IPersistFile> file;
  if (FAILED(link.QueryTo(IID_IPersistFile, file)) || FAILED(file->Load(WidePtr(linkFile), STGM_READ))) return {};
  wchar_t target[MAX_PATH] = {};
  if (link->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY) != S_OK) return {};
  return FromWide(target);
}

std::vector<std::u16string> FindProductShortcuts(const std::u16string& displayName,
                                                 const std::u16string& installFolder) {
  std::vector<std::u16string> found;
  if (displayName.empty()) return found;
  std::vector<std::u16string> names = {ShortcutFileName(displayName)};
  if (names.front() != displayName + u".lnk") names.push_back(displayName + u".lnk");

  for (const std::u16string& folder : ShortcutFolders()) {
    if (folder.empty()) continue;
    for (const std::u16string& name : names) {
      const std::u16string link = folder + u"\\" + name;
      if (!IsFile(link)) continue;
      const std::u16string target = ShortcutTarget(link);
      if (!target.empty() && LiesInFolder(target, installFolder) &&
          std::find(found.begin(), found.end(), link) == found.end()) {
        found.push_back(link);
      }
    }
  }
  return found;
}

}  // namespace setup
