#include "install/SystemFacts.h"

#include <windows.h>

#include "base/SystemFunction_win.h"
#include "base/Text.h"

namespace setup {

unsigned WindowsMajorVersion() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(&version)) return 0;
  return version.dwMajorVersion;
}

std::u16string EnvironmentVariable(const std::u16string& name) {
  const DWORD needed = GetEnvironmentVariableW(WidePtr(name), nullptr, 0);
  if (needed == 0) return {};
  std::u16string value(needed, u'\0');
  const DWORD length = GetEnvironmentVariableW(WidePtr(name), reinterpret_cast<wchar_t*>(value.data()), needed);
  value.resize(length < needed ? length : 0);
  return value;
}

std::vector<std::u16string> ReservedSystemFolders() {
  std::vector<std::u16string> folders;
  const auto add = [&](const std::u16string& folder) {
    if (!folder.empty()) folders.push_back(folder);
  };
  wchar_t path[MAX_PATH] = {};
  if (const UINT length = GetWindowsDirectoryW(path, MAX_PATH); length > 0 && length < MAX_PATH)
    add(FromWide(path, length));
  if (const UINT length = GetSystemDirectoryW(path, MAX_PATH); length > 0 && length < MAX_PATH)
    add(FromWide(path, length));
  // Only 64-bit systems have the 32-bit system folder.
  using GetWow64Folder = UINT(WINAPI*)(LPWSTR, UINT);
  if (const auto wow64 = SystemFunction<GetWow64Folder>(L"kernel32.dll", "GetSystemWow64DirectoryW")) {
    if (const UINT length = wow64(path, MAX_PATH); length > 0 && length < MAX_PATH) add(FromWide(path, length));
  }
  for (const char16_t* name : {u"PROGRAMFILES", u"ProgramFiles(x86)", u"ProgramW6432"}) add(EnvironmentVariable(name));
  return folders;
}

}  // namespace setup
