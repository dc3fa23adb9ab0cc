#include "uninstall/UninstallRegistration.h"

#include <windows.h>

#include "base/Errors.h"
#include "base/Text.h"
#include "shell/Registry.h"
#include "shell/RegistryKey.h"
#include "uninstall/FilePaths.h"

namespace setup {

namespace {

constexpr std::u16string_view kBlanks = u" \t";

std::u16string Trimmed(const std::u16string& text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::u16string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::u16string RegisteredUninstaller(const std::u16string& keyPath) {
  try {
    return UninstallProgramPath(ReadRegistryString(HKEY_LOCAL_MACHINE, keyPath, u"UninstallString"));
  } catch (const Exception&) {
    return {};  // a value that is not a text names no program
  }
}

}  // namespace

std::u16string UninstallProgramPath(const std::u16string& uninstallString) {
  const std::u16string text = Trimmed(uninstallString);
  if (!text.starts_with(u'"')) return text;
  const std::size_t closing = text.find(u'"', 1);
  return text.substr(1, closing == std::u16string::npos ? std::u16string::npos : closing - 1);
}

bool RemoveUninstallRegistration(const std::u16string& displayName, const std::u16string& uninstaller) {
  // An empty name would make the Uninstall key itself the product's key.
  if (displayName.empty() || displayName.find(u'\\') != std::u16string::npos) return false;
  const std::u16string keyPath = std::u16string(kUninstallKeyPath) + u"\\" + displayName;
  const std::u16string registered = RegisteredUninstaller(keyPath);
  if (registered.empty() || !SameFile(registered, uninstaller)) return false;

  UniqueRegistryKey parent;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WidePtr(std::u16string(kUninstallKeyPath)), 0, KEY_ALL_ACCESS, parent.Put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  // With a sub-key name, the tree delete removes that key itself as well.
  return RegDeleteTreeW(parent.Get(), WidePtr(displayName)) == ERROR_SUCCESS;
}

}  // namespace setup
