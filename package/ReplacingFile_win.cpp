#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "base/SystemFunction_win.h"
#include "base/Text.h"
#include "package/ReplacingFile.h"

namespace setup {

namespace {
HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

bool ReplacingFile::CreateExclusive() {
  // DELETE, so that the finished file is moved through this handle (see CloseAndMove).
  const HANDLE h = CreateFileW(WidePtr(temporary_), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
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

// Moved through the open handle, then closed: the file that was written is the one that moves,
// without opening its name again (MoveFileExW opens the source and probes the target, several
// requests more per file under Wine). A local file's data is in the cache, so closing reports no
// write error. The folders on the way are held by folder_, so the target path resolves as it was
// checked; a move over a link at the target name replaces the link itself. Windows 5 cannot
// rename through a handle: there the file is closed and moved by name.
ReplacingFile::Ending ReplacingFile::CloseAndMove() {
  using SetByHandle = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
  static const auto setByHandle = SystemFunction<SetByHandle>(L"kernel32.dll", "SetFileInformationByHandle");
  if (!setByHandle) {
    if (!Close()) return Ending::CloseFailed;
    return MoveFileExW(WidePtr(temporary_), WidePtr(target_), MOVEFILE_REPLACE_EXISTING) ? Ending::Done
                                                                                         : Ending::MoveFailed;
  }
  const std::size_t nameBytes = target_.size() * sizeof(wchar_t);
  std::vector<std::uint8_t> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t), 0);
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(rename->FileName, target_.data(), nameBytes);
  const bool moved = setByHandle(Handle(handle_), FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != 0;
  const DWORD reason = GetLastError();
  const bool closed = Close();
  if (!moved) {
    SetLastError(reason);
    return Ending::MoveFailed;
  }
  return closed ? Ending::Done : Ending::CloseFailed;
}

void ReplacingFile::RemoveTemporary() noexcept { DeleteFileW(WidePtr(temporary_)); }

}  // namespace setup
