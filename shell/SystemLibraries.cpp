#include "shell/SystemLibraries.h"

#include "base/Text.h"
#include "shell/ShellFolders.h"

namespace setup {

namespace {

// Not in the headers of older SDKs: the flag of SetDefaultDllDirectories for the system folder.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryCall = BOOL(WINAPI*)(LPCWSTR);

// kernel32 is mapped into every process before its first instruction: asking it by name loads
// nothing.
FARPROC Kernel32Function(const char* name) noexcept {
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  return kernel32 ? GetProcAddress(kernel32, name) : nullptr;
}

template <typename Function>
Function Kernel32(const char* name) noexcept {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(Kernel32Function(name)));
}

}  // namespace

void RestrictDllSearchToSystemFolder() noexcept {
  const auto setDefault = Kernel32<SetDefaultDllDirectoriesCall>("SetDefaultDllDirectories");
  if (setDefault && setDefault(kSearchSystem32)) return;
  // Older systems: an empty text takes the current folder out of the search. The program's own
  // folder stays in it, which is why nothing but known DLLs is imported and every other DLL is
  // loaded by full path.
  const auto setDllDirectory = Kernel32<SetDllDirectoryCall>("SetDllDirectoryW");
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
