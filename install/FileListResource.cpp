#include "install/FileListResource.h"

#include <windows.h>

#include <string_view>

#include "base/FileSystem.h"
#include "base/Text.h"
#include "base/UniqueOwner.h"
#include "install/FileList.h"
#include "product/ProductIds.h"

namespace setup {

namespace {

struct LibraryTraits {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle handle) noexcept { FreeLibrary(handle); }
};

std::vector<std::u16string> ListIn(HMODULE module) {
  HRSRC resource = FindResourceW(module, WidePtr(product::kUninstallFiles), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) throw EFileListError(u"The file list resource UNINSTALLFILES is missing");
  // Resource memory belongs to the module image: nothing to free.
  return ParseFileList(std::string_view(static_cast<const char*>(bytes), SizeofResource(module, resource)));
}

}  // namespace

std::vector<std::u16string> LoadInstalledFileList() { return ListIn(GetModuleHandleW(nullptr)); }

std::vector<std::u16string> LoadInstalledFileList(const std::u16string& uninstaller) {
  // As data, exclusively: the file cannot change while it is read, and it is never run.
  const UniqueOwner<LibraryTraits> module(LoadLibraryExW(
      WidePtr(uninstaller), nullptr, LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) throw EFileListError(u"The uninstaller " + uninstaller + u" cannot be read: " + LastErrorText());
  return ListIn(module.Get());
}

}  // namespace setup
