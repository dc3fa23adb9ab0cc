#include "shell/ShellFolders.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <iterator>
#include <vector>

#include "base/Text.h"
#include "shell/Registry.h"
#include "shell/RegistryKey.h"
#include "shell/ShellPaths.h"

namespace setup {

namespace {

constexpr wchar_t kExplorerKey[] = L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer";

// The "Shell Folders" value that holds each place's folder, by place number.
constexpr const char16_t* kPlaceValues[] = {u"Desktop", u"AppData", u"SendTo", u"Start Menu", u"Startup"};

}  // namespace

std::u16string GetSpecialFolder(ShortcutPlace place) {
  if (place >= std::size(kPlaceValues)) return {};

  UniqueRegistryKey explorer;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kExplorerKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      explorer.Put(), nullptr) != ERROR_SUCCESS)
    return {};
  const std::u16string folder = ReadRegistryString(explorer.Get(), u"Shell Folders", kPlaceValues[place]);

  // Without "AppData" the suffix alone would be a folder at the root of the current drive.
  if (place == spQuickLaunch) return folder.empty() ? folder : folder + std::u16string(kQuickLaunchSuffix);
  return folder;
}

namespace {

std::u16string SystemFolderOf(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK || path[0] == 0) return {};
  std::u16string folder = FromWide(path);
  while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
  return folder;
}

}  // namespace

std::u16string GetCommonFolder(CommonPlace place) {
  return SystemFolderOf(place == CommonPlace::Desktop ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_COMMON_PROGRAMS);
}

std::u16string GetUserProgramsFolder() { return SystemFolderOf(CSIDL_PROGRAMS); }

std::u16string GetSystemFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    // Too small: the count is the size needed, terminator included.
    buffer.resize(length);
    length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) return {};
  }
  if (length == 0) return {};
  return FromWide(buffer.data(), length) + u"\\";
}

}  // namespace setup
