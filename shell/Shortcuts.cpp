#include "shell/Shortcuts.h"

#include <windows.h>
// The shell headers follow windows.h.
#include <objidl.h>
#include <shlobj.h>

#include <cwchar>

#include "base/Text.h"
#include "shell/ComErrors.h"
#include "shell/ComPtr.h"
#include "shell/Registry.h"
#include "shell/ShellPaths.h"

namespace setup {

namespace {

constexpr char16_t kUnresolved[] = u"unable to resolve link";

bool IsExistingFile(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(WidePtr(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder part of the target of folder\fileName, or empty when there is no such file or it
// does not resolve. A folder that the system does not name is not probed: the bare name would
// be a file at the root of the current drive, which is no place of the shell's.
std::u16string FolderOfShortcutIn(const std::u16string& folder, const std::u16string& fileName) {
  if (folder.empty()) return {};
  const std::u16string candidate = folder + u"\\" + fileName;
  if (!IsExistingFile(candidate)) return {};
  // The unresolved text has no "\" or ":", so it gives no folder.
  return FolderPart(ResolveShortcut(candidate));
}

// The link object, its target, arguments and working folder set, saved as `path`.
bool SaveLink(const std::u16string& target, const std::u16string& arguments, const std::u16string& path) {
  ComPtr<IUnknown> object;
  const HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                           IID_IUnknown, object.PutVoid());
  if (FAILED(created)) throw OleClassError(created, CLSID_ShellLink);
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  if (FAILED(object.QueryTo(IID_IShellLinkW, link)) || FAILED(object.QueryTo(IID_IPersistFile, file)))
    throw EIntfCastError();

  // A setter that fails leaves its setting at the default; the save below still decides.
  link->SetPath(WidePtr(target));
  link->SetArguments(WidePtr(arguments));
  link->SetWorkingDirectory(WidePtr(FolderPart(target)));
  if (path.empty()) return false;
  // A missing folder makes the save fail, which is silent by design: no folder is created.
  return SUCCEEDED(file->Save(WidePtr(path), FALSE));
}

}  // namespace

void CreateShortcut(const std::u16string& target, const std::u16string& arguments, const std::u16string& linkName,
                    ShortcutPlace place, const std::u16string& subFolder) {
  const std::u16string folder = GetSpecialFolder(place);
  std::u16string path;
  if (!folder.empty()) {
    path = folder + u"\\";
    if (!subFolder.empty()) path += subFolder + u"\\";
    path += ShortcutFileName(linkName);
  }
  (void)SaveLink(target, arguments, path);
}

std::u16string SaveShortcutIn(const std::u16string& target, const std::u16string& arguments,
                              const std::u16string& linkName, const std::u16string& folder) {
  const std::u16string path = folder.empty() ? std::u16string() : folder + u"\\" + ShortcutFileName(linkName);
  return SaveLink(target, arguments, path) ? path : std::u16string();
}

std::u16string ResolveShortcut(const std::u16string& linkFile) {
  ComPtr<IShellLinkW> link;
  const HRESULT created =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
  if (FAILED(created)) throw OleSysError(created);
  ComPtr<IPersistFile> file;
  const HRESULT queried = link.QueryTo(IID_IPersistFile, file);
  if (FAILED(queried)) throw OleSysError(queried);

  if (FAILED(file->Load(WidePtr(linkFile), STGM_READ))) return kUnresolved;
  // Setup runs elevated and unattended: a shortcut whose target is gone must not open the shell's
  // search or its "problem with shortcut" dialog, so the link is resolved without any window and
  // without searching or tracking (the high word is the time limit in milliseconds).
  const DWORD kResolveFlags = static_cast<DWORD>(SLR_NO_UI) | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK;
  constexpr DWORD kResolveTimeLimit = 1000;
  if (FAILED(link->Resolve(nullptr, MAKELONG(kResolveFlags, kResolveTimeLimit)))) return kUnresolved;

  wchar_t path[MAX_PATH] = {};
  WIN32_FIND_DATAW targetData{};
  if (FAILED(link->GetPath(path, MAX_PATH, &targetData, SLGP_UNCPRIORITY))) return kUnresolved;
  return FromWide(path, wcsnlen(path, MAX_PATH));
}

std::u16string FindShortcutFolder(const std::u16string& linkName, const std::u16string& placeName) {
  std::u16string userFolder;
  std::u16string commonFolder;
  if (placeName == u"QuickLaunch") {
    const std::u16string appData = ReadRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, u"AppData");
    if (!appData.empty()) userFolder = appData + std::u16string(kQuickLaunchSuffix);
  } else {
    userFolder = ReadRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, placeName);
    commonFolder = ReadRegistryString(HKEY_LOCAL_MACHINE, kShellFoldersKey, u"Common " + placeName);
  }

  std::u16string result = FolderOfShortcutIn(userFolder, linkName + u".lnk");
  if (result.empty()) result = FolderOfShortcutIn(commonFolder, linkName + u".lnk");
  return result;
}

std::u16string FindShortcutFolderIn(const std::u16string& folder, const std::u16string& linkName) {
  return FolderOfShortcutIn(folder, ShortcutFileName(linkName));
}

}  // namespace setup
