#include "install/UninstallEntry.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/Text.h"
#include "shell/FilePaths.h"
#include "shell/Registry.h"
#include "shell/RegistryKey.h"

namespace setup {

namespace {

constexpr std::u16string_view kBlanks = u" \t";

std::u16string Trimmed(const std::u16string& text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::u16string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool NamesAProductKey(const std::u16string& keyName) {
  return !keyName.empty() && keyName.find(u'\\') == std::u16string::npos;
}

std::u16string KeyPath(const std::u16string& keyName) { return std::u16string(kUninstallKeyPath) + u"\\" + keyName; }

// A value that is missing or not a text reads as empty.
std::u16string ReadText(HKEY root, const std::u16string& keyPath, const char16_t* name) {
  try {
    return ReadRegistryString(root, keyPath, name);
  } catch (const Exception&) {
    return {};
  }
}

}  // namespace

HKEY UninstallRoot(InstallScope scope) { return scope == InstallScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::u16string UninstallKeyName(const ProductIdentity& product, const std::u16string& displayName) {
  return product.productId.empty() ? displayName : product.productId;
}

std::vector<std::u16string> KnownKeyNames(const ProductIdentity& product) {
  std::vector<std::u16string> names;
  for (const std::u16string* name : {&product.productId, &product.displayNameEnglish, &product.displayNameChinese}) {
    if (NamesAProductKey(*name) && std::find(names.begin(), names.end(), *name) == names.end()) names.push_back(*name);
  }
  return names;
}

std::optional<RegisteredInstall> FindRegisteredInstall(HKEY root, const std::vector<std::u16string>& keyNames) {
  for (const std::u16string& name : keyNames) {
    if (!NamesAProductKey(name)) continue;
    const std::u16string path = KeyPath(name);
    RegisteredInstall found{name, Trimmed(ReadText(root, path, u"InstallLocation")),
                            Trimmed(ReadText(root, path, u"DisplayVersion")),
                            UninstallProgramPath(ReadText(root, path, u"UninstallString"))};
    if (!found.location.empty()) return found;
  }
  return std::nullopt;
}

void WriteUninstallEntry(HKEY root, const std::u16string& keyName, const UninstallEntryValues& values) {
  if (!NamesAProductKey(keyName)) throw ERegistryException(u"Failed to create key " + KeyPath(keyName));
  const std::u16string key = KeyPath(keyName);
  (void)CreateRegistryKey(root, key);
  // Quoted: unquoted blanks would let Windows try "C:\Program.exe" first.
  const std::u16string uninstaller = u"\"" + values.installFolder + u"Uninst.exe\"";
  std::u16string location = values.installFolder;
  if (location.size() > 3 && location.back() == u'\\') location.pop_back();
  const std::pair<const char16_t*, std::u16string> texts[] = {
      {u"DisplayIcon", values.program},    {u"DisplayName", values.displayName},
      {u"DisplayVersion", values.version}, {u"Publisher", values.publisher},
      {u"URLInfoAbout", values.webPage},   {u"UninstallString", uninstaller},
      {u"InstallLocation", location},      {u"QuietUninstallString", uninstaller + u" /S"},
  };
  for (const auto& [name, data] : texts) (void)WriteRegistryString(root, key, name, data);
  const std::pair<const char16_t*, DWORD> numbers[] = {
      {u"EstimatedSize", static_cast<DWORD>((values.unpackedBytes + 1023) / 1024)},
      {u"NoModify", 1},
      {u"NoRepair", 1},
  };
  for (const auto& [name, value] : numbers) (void)WriteRegistryDword(root, key, name, value);
}

std::u16string UninstallProgramPath(const std::u16string& uninstallString) {
  const std::u16string text = Trimmed(uninstallString);
  if (!text.starts_with(u'"')) return text;
  const std::size_t closing = text.find(u'"', 1);
  return text.substr(1, closing == std::u16string::npos ? std::u16string::npos : closing - 1);
}

bool RemoveUninstallRegistration(HKEY root, const std::u16string& keyName, const std::u16string& uninstaller) {
  // An empty name would make the Uninstall key itself the product's key.
  if (!NamesAProductKey(keyName)) return false;
  const std::u16string registered = UninstallProgramPath(ReadText(root, KeyPath(keyName), u"UninstallString"));
  if (registered.empty() || !SameFile(registered, uninstaller)) return false;

  UniqueRegistryKey parent;
  if (RegOpenKeyExW(root, WidePtr(std::u16string(kUninstallKeyPath)), 0, KEY_ALL_ACCESS, parent.Put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  // With a sub-key name, the tree delete removes that key itself as well.
  return RegDeleteTreeW(parent.Get(), WidePtr(keyName)) == ERROR_SUCCESS;
}

}  // namespace setup
