#include "wizard/BrowseForFolder.h"

#include <windows.h>
// shlobj.h needs windows.h first.
#include <shlobj.h>

#include <array>
#include <memory>

#include "base/Text.h"

namespace setup {

namespace {

struct ItemIdListFree {
  void operator()(ITEMIDLIST* list) const noexcept { CoTaskMemFree(list); }
};
// An item id list the shell allocated for us.
using ItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListFree>;

constexpr int kDrivesFolder = 17;               // CSIDL_DRIVES: "My Computer"
constexpr UINT kFileSystemFoldersOnly = 1;      // BIF_RETURNONLYFSDIRS
constexpr UINT kNewStyleWithNewFolder = 64;     // BIF_NEWDIALOGSTYLE: resizable, with "Make New Folder"
constexpr std::size_t kPathBufferLength = 260;  // MAX_PATH

}  // namespace

std::u16string BrowseForFolder(HWND owner, const std::u16string& title) {
  ITEMIDLIST* rootList = nullptr;
  // Without the root the dialog starts at the desktop; the browse still works.
  if (FAILED(SHGetSpecialFolderLocation(owner, kDrivesFolder, &rootList))) rootList = nullptr;
  const ItemIdList root(rootList);

  std::array<wchar_t, kPathBufferLength> buffer{};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = root.get();
  info.pszDisplayName = buffer.data();
  info.lpszTitle = WidePtr(title);
  info.ulFlags = kFileSystemFoldersOnly | kNewStyleWithNewFolder;
  const ItemIdList chosen(SHBrowseForFolderW(&info));
  if (!chosen) return {};
  buffer.fill(L'\0');
  if (!SHGetPathFromIDListW(chosen.get(), buffer.data())) return {};
  return FromWide(buffer.data());
}

}  // namespace setup
