#include "gui/Resources.h"

#include <windows.h>

namespace setup::gui {

std::span<const std::byte> ResourceBytes(const wchar_t* type, const wchar_t* name) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, name, type);
  if (!info) return {};
  HGLOBAL loaded = LoadResource(module, info);  // a module resource: never freed
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const std::byte*>(data), SizeofResource(module, info)};
}

}  // namespace setup::gui
