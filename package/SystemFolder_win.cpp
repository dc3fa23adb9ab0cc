#include <windows.h>

#include "base/FileSystem.h"
#include "base/Text.h"
#include "package/Extract.h"

namespace setup {

SystemFolderFunction DefaultSystemFolder() {
  return [] {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::u16string();
    return IncludeTrailingPathDelimiter(FromWide(buffer, length));
  };
}

}  // namespace setup
