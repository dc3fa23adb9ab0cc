// A move-only owner of an open registry key handle (Windows only).
#pragma once

#include <windows.h>

#include "base/UniqueOwner.h"

namespace setup {

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() noexcept { return nullptr; }
  // No flush: the registry writes the key back in its own time.
  static void Close(Handle key) noexcept { RegCloseKey(key); }
};

using UniqueRegistryKey = UniqueOwner<RegistryKeyTraits>;

}  // namespace setup
