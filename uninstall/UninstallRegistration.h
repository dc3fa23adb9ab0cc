// The product's registration under the system's Uninstall key (Windows only).
#pragma once

#include <string>

namespace setup {

// HKEY_LOCAL_MACHINE path of the key under which every product is registered for removal.
inline constexpr char16_t kUninstallKeyPath[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The program path in an UninstallString: the text in its leading quotes when it starts with one,
// else the whole text; blanks around it are dropped.
std::u16string UninstallProgramPath(const std::u16string& uninstallString);

// Deletes HKEY_LOCAL_MACHINE kUninstallKeyPath\displayName, with anything below it, when its
// UninstallString names the file `uninstaller`. A key that names another program (another
// installation of the product) stays. An empty name, or one with a "\", names no product key.
// True when the key was deleted.
[[nodiscard]] bool RemoveUninstallRegistration(const std::u16string& displayName, const std::u16string& uninstaller);

}  // namespace setup
