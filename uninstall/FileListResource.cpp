#include "uninstall/FileListResource.h"

#include <windows.h>

#include <string_view>

#include "base/Text.h"
#include "product/ProductIds.h"
#include "uninstall/FileList.h"

namespace setup {

std::vector<std::u16string> LoadInstalledFileList() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, WidePtr(product::kUninstallFiles), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) throw EFileListError(u"The file list resource UNINSTALLFILES is missing");
  // Resource memory belongs to the module image: nothing to free.
  return ParseFileList(std::string_view(static_cast<const char*>(bytes), SizeofResource(module, resource)));
}

}  // namespace setup
