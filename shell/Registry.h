// Registry keys and text values (Windows only). Each call opens the key it needs with full
// access (KEY_ALL_ACCESS, the process's default registry view), does one thing and closes the key
// again without a flush. Key paths are relative to `root`; one leading "\" is dropped, so a path
// with and the same path without it name the same key.
#pragma once

#include <windows.h>

#include <string>

#include "shell/ShellErrors.h"

namespace setup {

// Creates the key with every missing parent (non-volatile, default security), or opens it when it
// exists, and closes it again. Returns true; raises ERegistryException "Failed to create key %s"
// with keyPath as given.
[[nodiscard]] bool CreateRegistryKey(HKEY root, const std::u16string& keyPath);

// Writes `text` as a REG_SZ value with its NUL, (length + 1) * 2 bytes, replacing any value of that
// name whatever its type. The key is created when missing; an empty keyPath names `root` itself,
// which is opened, never created. Returns false, writing nothing, when the key can be neither opened
// nor created; raises ERegistryException "Failed to set data for '%s'" when the value cannot be set.
[[nodiscard]] bool WriteRegistryString(HKEY root, const std::u16string& keyPath, const std::u16string& valueName,
                                       const std::u16string& text);

// Writes `value` as a REG_DWORD value, creating the key when missing. Returns false, writing
// nothing, when the key can be neither opened nor created; raises ERegistryException
// "Failed to set data for '%s'" when the value cannot be set.
[[nodiscard]] bool WriteRegistryDword(HKEY root, const std::u16string& keyPath, const std::u16string& valueName,
                                      DWORD value);

// The text of a REG_SZ or REG_EXPAND_SZ value (the latter unexpanded), up to its first NUL. A
// missing key or value, or a value of no bytes, reads as empty text. Raises ERegistryException
// "Failed to get data for '%s'" when the value cannot be read after its size was had, and
// "Invalid data type for '%s'" when the value is not a text.
std::u16string ReadRegistryString(HKEY root, const std::u16string& keyPath, const std::u16string& valueName);

}  // namespace setup
