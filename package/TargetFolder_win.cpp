#include <windows.h>

#include "base/SystemFunction_win.h"
#include "base/Text.h"
#include "package/PackageErrors.h"
#include "package/TargetFolder.h"

namespace setup {

namespace {

// A folder held open without delete sharing cannot be renamed or removed, so nobody can put a
// link in its place while files are written into it.
HANDLE OpenFolder(const std::u16string& path, DWORD flags) {
  return CreateFileW(WidePtr(path.empty() ? std::u16string(u".") : path), FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags,
                     nullptr);
}

std::intptr_t AsInteger(HANDLE h) { return reinterpret_cast<std::intptr_t>(h); }

// The attributes alone where Windows can tell them (from Windows 6): the whole-file information
// also asks for the volume's serial number, a round trip to the mount manager for every folder.
bool FolderAttributes(HANDLE h, DWORD& attributes) {
  using GetByHandleEx = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
  static const auto getByHandleEx = SystemFunction<GetByHandleEx>(L"kernel32.dll", "GetFileInformationByHandleEx");
  if (getByHandleEx) {
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!getByHandleEx(h, FileAttributeTagInfo, &info, sizeof info)) return false;
    attributes = info.FileAttributes;
    return true;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(h, &info)) return false;
  attributes = info.dwFileAttributes;
  return true;
}

}  // namespace

bool TargetFolder::OpenBase(const std::u16string& path) {
  const HANDLE h = OpenFolder(path, 0);
  if (h == INVALID_HANDLE_VALUE) return false;
  handles_.push_back(AsInteger(h));
  return true;
}

bool TargetFolder::OpenComponent(std::u16string_view, Missing missing, const std::u16string& path) {
  // The reparse point itself is opened, not what it leads to.
  HANDLE h = OpenFolder(path, FILE_FLAG_OPEN_REPARSE_POINT);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND && missing == Missing::Create) {
    if (!CreateDirectoryW(WidePtr(path), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    h = OpenFolder(path, FILE_FLAG_OPEN_REPARSE_POINT);
  }
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD attributes = 0;
  const bool known = FolderAttributes(h, attributes);
  const DWORD reason = GetLastError();
  if (known && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    ::CloseHandle(h);
    throw EPackageError::LinkInTargetFolder(path);
  }
  if (!known || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ::CloseHandle(h);
    SetLastError(known ? ERROR_DIRECTORY : reason);
    return false;
  }
  handles_.push_back(AsInteger(h));
  return true;
}

void TargetFolder::CloseHandle(std::intptr_t handle) noexcept { ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }

}  // namespace setup
