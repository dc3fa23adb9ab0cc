// The product's entry under the system's Uninstall key (Windows only): its name, its values, how
// Setup finds an earlier install by it and how Uninst.exe removes it. One module, so that the
// install and the removal agree on every name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "install/InstallScope.h"

namespace setup {

// The key under which every product is registered for removal, below HKEY_LOCAL_MACHINE (a
// machine-wide install) or HKEY_CURRENT_USER (an install for one user).
inline constexpr char16_t kUninstallKeyPath[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// HKEY_LOCAL_MACHINE for a machine-wide install, HKEY_CURRENT_USER for one user's.
HKEY UninstallRoot(InstallScope scope);

// What names a product's entry: its identity when the product file gives one (the same in every
// language and version), else its display name in the language of the running program.
struct ProductIdentity {
  std::u16string productId;  // empty when the product gives none
  std::u16string displayNameEnglish;
  std::u16string displayNameChinese;
};

// The name of the entry a Setup registers: the identity, else `displayName` (the one it shows).
std::u16string UninstallKeyName(const ProductIdentity& product, const std::u16string& displayName);

// Every name an install of this product may have registered, each once: the identity first, then
// the display names of both languages (installs made before the product had an identity, or in
// the other language).
std::vector<std::u16string> KnownKeyNames(const ProductIdentity& product);

// An install found by its entry.
struct RegisteredInstall {
  std::u16string keyName;
  std::u16string location;     // InstallLocation, as registered
  std::u16string version;      // DisplayVersion
  std::u16string uninstaller;  // the program that UninstallString names
};

// The first of `keyNames` registered below root's Uninstall key with an install folder; nothing
// when there is none. A name holding "\" or an empty name is skipped: it names no product key.
std::optional<RegisteredInstall> FindRegisteredInstall(HKEY root, const std::vector<std::u16string>& keyNames);

// The values of an entry.
struct UninstallEntryValues {
  std::u16string installFolder;  // ends in "\"
  std::u16string program;        // the product's program, for its icon
  std::u16string displayName;
  std::u16string version;
  std::u16string publisher;
  std::u16string webPage;
  std::int64_t unpackedBytes = 0;
};

// Creates or updates root's entry `keyName` with every value; raises ERegistryException when a
// value cannot be written.
void WriteUninstallEntry(HKEY root, const std::u16string& keyName, const UninstallEntryValues& values);

// The program path in an UninstallString: the text in its leading quotes when it starts with one,
// else the whole text; blanks around it are dropped.
std::u16string UninstallProgramPath(const std::u16string& uninstallString);

// Deletes root's entry `keyName`, with anything below it, when its UninstallString names the file
// `uninstaller`. An entry that names another program (another installation of the product) stays.
// An empty name, or one with a "\", names no product key. True when the entry was deleted.
[[nodiscard]] bool RemoveUninstallRegistration(HKEY root, const std::u16string& keyName,
                                               const std::u16string& uninstaller);

}  // namespace setup
