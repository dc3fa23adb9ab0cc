#include "uninstall/SelfRemoval.h"

#include <windows.h>
// After windows.h, which they need.
#include <sddl.h>

#include <array>
#include <memory>
#include <vector>

#include "base/Text.h"
#include "crypto/Random.h"
#include "shell/ShellPaths.h"
#include "uninstall/FilePaths.h"
#include "uninstall/UniqueHandle.h"

namespace setup {

namespace {

// Virus scanners and indexers may hold a file that was just closed for a moment.
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeleteRetryPause = 100;
// A name somebody made first is skipped; so many in a row means something is wrong.
constexpr int kNameAttempts = 16;

// The copy's folder: only the system and the administrators may do anything in it, and nothing
// is inherited from the temporary folder, which the signed-in user (elevated or not) can write.
constexpr wchar_t kAdministratorsOnly[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
constexpr char16_t kCopyPrefix[] = u"Uns";
constexpr char16_t kCopySuffix[] = u".tmp";
constexpr char16_t kCopyFileName[] = u"Uninst.exe";

struct LocalMemoryFree {
  void operator()(void* memory) const noexcept { LocalFree(memory); }
};

std::u16string TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return length > 0 && length <= MAX_PATH ? FromWide(buffer, length) : std::u16string();
}

// "Uns" and 16 random hexadecimal digits and ".tmp": a name nobody can guess ahead.
std::u16string RandomCopyName() {
  std::array<std::uint8_t, 8> bytes{};
  FillSecureRandom(bytes.data(), bytes.size());
  std::u16string name = kCopyPrefix;
  for (std::uint8_t byte : bytes) {
    name += u"0123456789ABCDEF"[byte >> 4];
    name += u"0123456789ABCDEF"[byte & 0xF];
  }
  return name + kCopySuffix;
}

// A new folder in `parent` that only administrators and the system can write, made here and now
// (never one that was there before). Empty text when none can be made.
std::u16string NewAdministratorsFolder(const std::u16string& parent) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnly, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return {};
  }
  const std::unique_ptr<void, LocalMemoryFree> ownedDescriptor(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::u16string folder = parent + RandomCopyName();
    // Fails when the name exists in any form (folder, file, link): then another name is tried.
    if (CreateDirectoryW(WidePtr(folder), &attributes)) return folder + u"\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
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

// Whether `folder` ("...\Uns<digits>.tmp\") is a copy's folder directly in the temporary folder.
bool IsCopyFolder(const std::u16string& folder) {
  const std::u16string temporary = TemporaryFolder();
  if (temporary.empty() || folder.size() <= temporary.size() + 1) return false;
  if (!SameTextIgnoreCase(folder.substr(0, temporary.size()), temporary)) return false;
  const std::u16string name = folder.substr(temporary.size(), folder.size() - temporary.size() - 1);
  return name.starts_with(kCopyPrefix) && name.ends_with(kCopySuffix) &&
         name.find_first_of(u"\\/:") == std::u16string::npos;
}

// A running program's folder cannot be removed on Windows while its file is in it, but the file
// can be moved: out of its folder into the temporary folder, where its delete-on-close handle
// still removes it when the copy ends. Then the emptied folder goes at once.
void RemoveOwnFolder() {
  const std::u16string self = ModuleFilePath();
  const std::u16string folder = FolderPart(self);
  if (self.empty() || !IsCopyFolder(folder)) return;
  const std::u16string outside = TemporaryFolder() + RandomCopyName();
  if (!MoveFileExW(WidePtr(self), WidePtr(outside), 0)) return;
  RemoveDirectoryW(WidePtr(folder));
}

}  // namespace

bool StartSelfRemoval() {
  try {
    const std::u16string self = ModuleFilePath();
    const std::u16string temporaryFolder = TemporaryFolder();
    if (self.empty() || temporaryFolder.empty()) return false;
    const std::u16string folder = NewAdministratorsFolder(temporaryFolder);
    if (folder.empty()) return false;
    const std::u16string copy = folder + kCopyFileName;
    // Inside a folder nobody else can write, the name leads to what was written there.
    if (!CopyFileW(WidePtr(self), WidePtr(copy), TRUE)) {
      RemoveDirectoryW(WidePtr(folder));
      return false;
    }

    // From here the copy's file lives exactly as long as a handle to it is open: ours until the
    // copy has started, then the copy's inherited one. Nobody may write it meanwhile; delete
    // sharing is what lets the copy move its own file out of the folder at its end.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle copyFile(CreateFileW(WidePtr(copy), DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inheritable,
                                      OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!copyFile) {
      DeleteFileW(WidePtr(copy));
      RemoveDirectoryW(WidePtr(folder));
      return false;
    }
    HANDLE process = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &process,
                         SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0)) {
      copyFile.Reset();
      RemoveDirectoryW(WidePtr(folder));
      return false;
    }
    const UniqueHandle ownProcess(process);

    std::u16string commandLine = u"\"" + copy + u"\" /Cleanup " +
                                 IntToText(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(process)));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // The copy works in its own folder, so it holds no handle on the install folder.
    if (!CreateProcessW(WidePtr(copy), reinterpret_cast<wchar_t*>(commandLine.data()), nullptr, nullptr, TRUE, 0,
                        nullptr, WidePtr(folder), &startup, &started)) {
      copyFile.Reset();
      RemoveDirectoryW(WidePtr(folder));
      return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
  } catch (...) {
    return false;  // no random bytes, or no memory for a path
  }
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
  try {
    RemoveOwnFolder();
  } catch (...) {
    // Without random bytes or memory the empty folder stays; the uninstaller's file is what counts.
  }
  return deleted ? 0 : 1;
}

}  // namespace setup
