// A function of a system DLL that older Windows versions lack (Windows 5 among them, where the
// wizard still runs), looked up at run time so that the programs start there and take another way
// when it is missing. Only DLLs already loaded into every process are asked (ntdll, kernel32,
// user32): nothing is loaded by name.
#pragma once

#include <windows.h>

namespace setup {

template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) noexcept {
  const HMODULE loaded = GetModuleHandleW(module);
  // A function pointer cast is the only way from GetProcAddress to a typed call.
  return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

}  // namespace setup
