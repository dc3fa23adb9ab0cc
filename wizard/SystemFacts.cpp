#include "wizard/SystemFacts.h"

#include <windows.h>

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

}  // namespace setup
