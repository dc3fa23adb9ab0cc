#include "uninstall/SelfRemoval.h"

#include <windows.h>

#include <vector>

#include "base/Text.h"
#include "shell/ShellPaths.h"
#include "uninstall/FilePaths.h"
#include "shell/UniqueHandle.h"

namespace setup {

namespace {

// Virus scanners and indexers may hold a file that was just closed for a moment.
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeleteRetryPause = 100;

std::u16string TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return length > 0 && length <= MAX_PATH ? FromWide(buffer, length) : std::u16string();
}

// A new, unique file in the temporary folder, created empty; empty text when it cannot be made.
std::u16string NewTemporaryFile(const std::u16string& folder) {
  wchar_t name[MAX_PATH] = {};
  if (!GetTempFileNameW(WidePtr(folder), L"Uns", 0, name)) return {};
  return FromWide(name);
}

std::u16string ProcessImagePath(HANDLE process) {
  std::vector<wchar_t> buffer(32768);
  DWORD size = static_cast<DWORD>(buffer.size());
  if (!QueryFullProcessImageNameW(process, 0, buffer.data(), &size)) return {};
  return FromWide(buffer.data(), size);
}

bool DeleteWithRetries(const std::u16string& path) {
  for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
    if (DeleteFileW(WidePtr(path))) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    Sleep(kDeleteRetryPause);
  }
  return false;
}

}  // namespace

bool StartSelfRemoval() {
  const std::u16string self = ModuleFilePath();
  const std::u16string temporaryFolder = TemporaryFolder();
  if (self.empty() || temporaryFolder.empty()) return false;
  const std::u16string copy = NewTemporaryFile(temporaryFolder);
  if (copy.empty()) return false;
  if (!CopyFileW(WidePtr(self), WidePtr(copy), FALSE)) {
    DeleteFileW(WidePtr(copy));
    return false;
  }

  // From here the copy's file lives exactly as long as a handle to it is open: ours until the
  // copy has started, then the copy's inherited one.
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  UniqueHandle copyFile(CreateFileW(WidePtr(copy), DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inheritable,
                                    OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!copyFile) {
    DeleteFileW(WidePtr(copy));
    return false;
  }
  HANDLE process = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &process,
                       SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0)) {
    return false;
  }
  const UniqueHandle ownProcess(process);

  std::u16string commandLine =
      u"\"" + copy + u"\" /Cleanup " + IntToText(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(process)));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // The copy works in the temporary folder, so it holds no handle on the install folder.
  if (!CreateProcessW(WidePtr(copy), reinterpret_cast<wchar_t*>(commandLine.data()), nullptr, nullptr, TRUE, 0, nullptr,
                      WidePtr(temporaryFolder), &startup, &started)) {
    return false;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

int RunSelfRemoval(std::uint64_t processHandle) {
  const auto process = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(processHandle));
  // Only a handle to a process yields an image path: any other value ends the copy at once.
  const std::u16string uninstaller = processHandle != 0 ? ProcessImagePath(process) : std::u16string();
  if (uninstaller.empty()) return 1;
  const UniqueHandle ownedProcess(process);
  if (WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0) return 1;
  const bool deleted = DeleteWithRetries(uninstaller);
  RemoveDirectoryW(WidePtr(FolderPart(uninstaller)));  // only when it is empty
  return deleted ? 0 : 1;
}

}  // namespace setup
