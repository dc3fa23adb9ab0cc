#include <windows.h>
#include <winternl.h>

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

// The native creation, relative to a folder handle, as the POSIX side creates with openat.
using NtCreateFileFunction = LONG(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER,
                                          ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
constexpr ULONG kCreateNew = 2;                              // FILE_CREATE
constexpr ULONG kNotAFolder = 0x40;                          // FILE_NON_DIRECTORY_FILE
constexpr ULONG kSynchronous = 0x20;                         // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG kOpenReparsePoint = 0x200000;                // FILE_OPEN_REPARSE_POINT
constexpr LONG kNameExists = static_cast<LONG>(0xC0000035);  // STATUS_OBJECT_NAME_COLLISION

// Whether the system would reach this name, in the folder that is held, by its whole path just
// as by the name alone: the whole path names the file in the journal, the move and a rollback.
// The whole path resolves like the name only when no Windows path rule changes it (trailing dots
// and spaces are dropped) and it stays within the length a path may have without a prefix.
bool SameByEitherName(const std::u16string& name, const std::u16string& path) {
  return !name.empty() && name.back() != u'.' && name.back() != u' ' && path.size() < MAX_PATH;
}

}  // namespace

// The name is looked up in the held folder itself rather than through the whole path again:
// the file lands in exactly the folder that was checked, and only its last component is
// resolved (Wine otherwise walks and looks at every folder of the path again for each file).
bool ReplacingFile::CreateExclusive() {
  static const auto ntCreateFile = SystemFunction<NtCreateFileFunction>(L"ntdll.dll", "NtCreateFile");
  if (ntCreateFile && SameByEitherName(temporaryName_, temporary_)) {
    // DELETE, so that the finished file is moved through this handle (see CloseAndMove).
    constexpr ACCESS_MASK kAccess = GENERIC_WRITE | DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES;
    UNICODE_STRING name{};
    name.Buffer = const_cast<PWSTR>(WidePtr(temporaryName_));
    name.Length = name.MaximumLength = static_cast<USHORT>(temporaryName_.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = Handle(folder_->Handle());
    attributes.ObjectName = &name;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    IO_STATUS_BLOCK status{};
    HANDLE h = INVALID_HANDLE_VALUE;
    const LONG result = ntCreateFile(&h, kAccess, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, 0, kCreateNew,
                                     kNotAFolder | kSynchronous | kOpenReparsePoint, nullptr, 0);
    if (result >= 0) {
      handle_ = reinterpret_cast<std::intptr_t>(h);
      return true;
    }
    // A name that exists is the answer; any other refusal is asked again by the whole path
    // below, which also gives the system's own reason.
    if (result == kNameExists) {
      SetLastError(ERROR_FILE_EXISTS);
      handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
      return false;
    }
  }
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
