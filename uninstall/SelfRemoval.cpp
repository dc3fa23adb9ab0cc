#include "uninstall/SelfRemoval.h"

#include <windows.h>
// After windows.h:
#include <sddl.h>

#include <vector>

#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/Text.h"
#include "shell/FilePaths.h"
#include "shell/ShellPaths.h"
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

// The copy is made where the unelevated user can write (the temporary folder of the same user),
// so it is guarded in three ways until the elevated copy runs: the file is created new (never an
// existing file or link), with a security descriptor that lets only the system and administrators
// open it, and from the moment its content is complete a handle without delete sharing pins it,
// so it can be neither renamed nor replaced under its name.
constexpr wchar_t kAdministratorsOnly[] = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)";
constexpr int kNameAttempts = 100;

class SecurityDescriptor {
 public:
  explicit SecurityDescriptor(const wchar_t* sddl) {
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_, nullptr);
  }
  ~SecurityDescriptor() { LocalFree(descriptor_); }
  SecurityDescriptor(const SecurityDescriptor&) = delete;
  SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;
  PSECURITY_DESCRIPTOR Get() const noexcept { return descriptor_; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

// "Uns<hex>.tmp" in the folder, for a number that changes with every attempt.
std::u16string CandidateName(const std::u16string& folder, unsigned attempt) {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  const auto number = static_cast<UINT>((counter.LowPart ^ (GetCurrentProcessId() << 16) ^ attempt) & 0xFFFF) | 1u;
  wchar_t name[MAX_PATH] = {};
  if (!GetTempFileNameW(WidePtr(folder), L"Uns", number, name)) return {};
  return FromWide(name);
}

bool CopyContent(const std::u16string& source, HANDLE target) {
  try {
    FileStream input(source, FileStream::Mode::OpenRead);
    std::vector<char> buffer(1 << 16);
    for (;;) {
      const std::size_t read = input.Read(buffer.data(), buffer.size());
      if (read == 0) return true;
      DWORD written = 0;
      if (!WriteFile(target, buffer.data(), static_cast<DWORD>(read), &written, nullptr) || written != read)
        return false;
    }
  } catch (const Exception&) {
    return false;
  }
}

bool SameFileObject(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION x{};
  BY_HANDLE_FILE_INFORMATION y{};
  return GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y) &&
         x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

struct PinnedCopy {
  std::u16string path;
  // Delete access with delete-on-close, inheritable, shared for reading and writing only: the
  // file cannot be renamed or deleted while it is open, and goes when its last holder ends.
  UniqueHandle pin;
};

// A new copy of `source` in `folder`, written through the handle that created it and pinned
// before that handle is closed. No copy is left when this fails.
PinnedCopy MakePinnedCopy(const std::u16string& source, const std::u16string& folder) {
  const SecurityDescriptor administratorsOnly(kAdministratorsOnly);
  if (!administratorsOnly.Get()) return {};
  SECURITY_ATTRIBUTES created{sizeof created, administratorsOnly.Get(), FALSE};
  for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::u16string path = CandidateName(folder, attempt);
    if (path.empty()) return {};
    // CREATE_NEW fails on any existing name, a planted file or link included.
    UniqueHandle writer(CreateFileW(WidePtr(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &created,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writer) {
      if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
      return {};
    }
    if (!CopyContent(source, writer.Get())) {
      writer.Reset();
      DeleteFileW(WidePtr(path));  // at worst a link put in its place, never what a link leads to
      return {};
    }
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle pin(CreateFileW(WidePtr(path), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                 FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    // Between the two opens the name could have been moved to another file: only ours will do.
    if (!pin || !SameFileObject(pin.Get(), writer.Get())) {
      writer.Reset();
      if (!pin) DeleteFileW(WidePtr(path));  // an opened pin deletes whatever it holds as it closes
      return {};
    }
    return PinnedCopy{path, std::move(pin)};
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

}  // namespace

bool StartSelfRemoval() {
  const std::u16string self = ModuleFilePath();
  const std::u16string temporaryFolder = TemporaryFolder();
  if (self.empty() || temporaryFolder.empty()) return false;
  // From here the copy's file lives exactly as long as a handle to it is open: ours until the
  // copy has started, then the copy's inherited one.
  const PinnedCopy pinned = MakePinnedCopy(self, temporaryFolder);
  if (!pinned.pin) return false;
  const std::u16string& copy = pinned.path;
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
