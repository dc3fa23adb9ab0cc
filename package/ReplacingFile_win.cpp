#include <windows.h>

#include <algorithm>

#include "base/Text.h"
#include "package/ReplacingFile.h"

namespace setup {

namespace {
HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

bool ReplacingFile::CreateExclusive() {
  const HANDLE h = CreateFileW(WidePtr(temporary_), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return h != INVALID_HANDLE_VALUE;
}

bool ReplacingFile::WriteSome(const std::uint8_t* data, std::size_t size, std::size_t& written) {
  const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  DWORD n = 0;
  if (!WriteFile(Handle(handle_), data, chunk, &n, nullptr)) return false;
  written = n;
  return true;
}

bool ReplacingFile::Close() {
  const HANDLE h = Handle(handle_);
  handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
  return CloseHandle(h) != 0;
}

// The folders on the way are held by folder_, so the paths below resolve as they were checked;
// a move over a link at the target name replaces the link itself.
bool ReplacingFile::MoveOverTarget() {
  return MoveFileExW(WidePtr(temporary_), WidePtr(target_), MOVEFILE_REPLACE_EXISTING) != 0;
}

void ReplacingFile::RemoveTemporary() noexcept { DeleteFileW(WidePtr(temporary_)); }

}  // namespace setup
