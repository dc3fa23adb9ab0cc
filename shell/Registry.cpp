#include "shell/Registry.h"

#include <string_view>

#include "base/Text.h"
#include "shell/RegistryKey.h"

namespace setup {

namespace {

std::u16string WithoutLeadingBackslash(const std::u16string& keyPath) {
  return !keyPath.empty() && keyPath.front() == u'\\' ? keyPath.substr(1) : keyPath;
}

LSTATUS CreateOrOpenKey(HKEY root, const std::u16string& relativePath, UniqueRegistryKey& key) {
  return RegCreateKeyExW(root, WidePtr(relativePath), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         key.Put(), nullptr);
}

ERegistryException RegistryError(std::u16string_view pattern, std::u16string_view name) {
  return ERegistryException(FormatText(pattern, {name}));
}

}  // namespace

bool CreateRegistryKey(HKEY root, const std::u16string& keyPath) {
  UniqueRegistryKey key;
  if (CreateOrOpenKey(root, WithoutLeadingBackslash(keyPath), key) != ERROR_SUCCESS)
    throw RegistryError(u"Failed to create key %s", keyPath);
  return true;
}

bool WriteRegistryString(HKEY root, const std::u16string& keyPath, const std::u16string& valueName,
                         const std::u16string& text) {
  const std::u16string relativePath = WithoutLeadingBackslash(keyPath);
  UniqueRegistryKey key;
  const LSTATUS opened = relativePath.empty() ? RegOpenKeyExW(root, nullptr, 0, KEY_ALL_ACCESS, key.Put())
                                              : CreateOrOpenKey(root, relativePath, key);
  if (opened != ERROR_SUCCESS) return false;

  const auto byteCount = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
  if (RegSetValueExW(key.Get(), WidePtr(valueName), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     byteCount) != ERROR_SUCCESS)
    throw RegistryError(u"Failed to set data for '%s'", valueName);
  return true;
}

bool WriteRegistryDword(HKEY root, const std::u16string& keyPath, const std::u16string& valueName, DWORD value) {
  const std::u16string relativePath = WithoutLeadingBackslash(keyPath);
  UniqueRegistryKey key;
  const LSTATUS opened = relativePath.empty() ? RegOpenKeyExW(root, nullptr, 0, KEY_ALL_ACCESS, key.Put())
                                              : CreateOrOpenKey(root, relativePath, key);
  if (opened != ERROR_SUCCESS) return false;
  if (RegSetValueExW(key.Get(), WidePtr(valueName), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value) != ERROR_SUCCESS)
    throw RegistryError(u"Failed to set data for '%s'", valueName);
  return true;
}

std::u16string ReadRegistryString(HKEY root, const std::u16string& keyPath, const std::u16string& valueName) {
  UniqueRegistryKey key;
  if (RegOpenKeyExW(root, WidePtr(WithoutLeadingBackslash(keyPath)), 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS)
    return {};

  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExW(key.Get(), WidePtr(valueName), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
    return {};

  // Whole characters for the bytes reported, and one more that stays NUL: a value stored
  // without its terminator still ends inside the buffer.
  std::u16string buffer((size + 1) / 2 + 1, u'\0');
  DWORD readSize = static_cast<DWORD>((buffer.size() - 1) * sizeof(char16_t));
  if (RegQueryValueExW(key.Get(), WidePtr(valueName), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &readSize) != ERROR_SUCCESS)
    throw RegistryError(u"Failed to get data for '%s'", valueName);
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw RegistryError(u"Invalid data type for '%s'", valueName);

  buffer.resize(readSize / sizeof(char16_t));
  const auto nul = buffer.find(u'\0');
  if (nul != std::u16string::npos) buffer.resize(nul);
  return buffer;
}

}  // namespace setup
