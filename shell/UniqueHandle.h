// Move-only owners of kernel object handles (file, process, thread) and of directory searches.
#pragma once

#include <windows.h>

#include "base/UniqueOwner.h"

namespace setup {

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  // INVALID_HANDLE_VALUE (a failed CreateFileW) is held as no handle.
  static Handle Adopt(Handle handle) noexcept { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
  static void Close(Handle handle) noexcept { CloseHandle(handle); }
};

using UniqueHandle = UniqueOwner<KernelHandleTraits>;

// A directory search of FindFirstFileW / FindFirstFileExW.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) noexcept { FindClose(handle); }
};

using UniqueFindHandle = UniqueOwner<FindHandleTraits>;

}  // namespace setup
