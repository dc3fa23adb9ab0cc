#include "shell/SystemLibraries.h"

#include "base/SystemFunction_win.h"
#include "base/Text.h"
#include "shell/ShellFolders.h"

namespace setup {

namespace {

// Not in the headers of older SDKs: the flag of SetDefaultDllDirectories for the system folder.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryCall = BOOL(WINAPI*)(LPCWSTR);

}  // namespace

void RestrictDllSearchToSystemFolder() noexcept {
  const auto setDefault = SystemFunction<SetDefaultDllDirectoriesCall>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault && setDefault(kSearchSystem32)) return;
  // Older systems: an empty text takes the current folder out of the search. The program's own
  // folder stays in it, which is why nothing but known DLLs is imported and every other DLL is
  // loaded by full path.
  const auto setDllDirectory = SystemFunction<SetDllDirectoryCall>(L"kernel32.dll", "SetDllDirectoryW");
  if (setDllDirectory) (void)setDllDirectory(L"");
}

HMODULE LoadSystemLibrary(const std::u16string& fileName) noexcept {
  try {
    const std::u16string folder = GetSystemFolder();
    if (folder.empty()) return nullptr;
    // A full path: the search order plays no part. The altered search path makes the DLL's own
    // dependencies come from its folder, the system folder, too.
    return LoadLibraryExW(WidePtr(folder + fileName), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  } catch (...) {
    return nullptr;  // out of memory for the path
  }
}

}  // namespace setup
