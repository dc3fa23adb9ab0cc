#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "base/Text.h"
#include "crypto/Random.h"
#include "package/JournalFile.h"

namespace setup::journal_file {

namespace {

HANDLE Handle(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

struct LocalFreeDeleter {
  void operator()(void* memory) const noexcept { LocalFree(memory); }
};
using LocalMemory = std::unique_ptr<void, LocalFreeDeleter>;

std::vector<std::uint8_t> CopySid(PSID sid) {
  if (!sid || !IsValidSid(sid)) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(sid);
  return std::vector<std::uint8_t>(bytes, bytes + GetLengthSid(sid));
}

std::vector<std::uint8_t> OwnerOf(HANDLE object) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS)
    return {};
  const LocalMemory held(descriptor);
  return CopySid(owner);
}

std::u16string FolderOf(const std::u16string& path) {
  std::size_t cut = path.size();
  while (cut > 0 && path[cut - 1] != u'\\' && path[cut - 1] != u'/') --cut;
  return path.substr(0, cut);
}

// The owner this process gives what it creates, measured on a folder it makes in `folder` and
// removes again: the administrators' group for an elevated administrator on Windows, the user
// where the system gives files the owner of their creator's account (as Wine does, whatever the
// token says). Measured once.
std::vector<std::uint8_t> CreatorOwner(const std::u16string& folder) {
  static std::vector<std::uint8_t> measured;
  if (!measured.empty()) return measured;
  std::array<std::uint8_t, 8> random{};
  FillSecureRandom(random.data(), random.size());
  std::u16string probe = folder + u"~stp";
  for (const std::uint8_t b : random) {
    probe += u"0123456789abcdef"[b >> 4];
    probe += u"0123456789abcdef"[b & 15];
  }
  probe += u".tmp";
  if (!CreateDirectoryW(WidePtr(probe), nullptr)) return {};
  const HANDLE h =
      CreateFileW(WidePtr(probe), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    measured = OwnerOf(h);
    CloseHandle(h);
  }
  RemoveDirectoryW(WidePtr(probe));
  return measured;
}

// Owned by the system, the administrators or the owner this process gives what it makes: nobody
// without administrator rights can have made it (a folder a user made in the program-data folder
// is the user's, and so is one a non-elevated process of an administrator made).
bool OwnerTrusted(HANDLE object, const std::u16string& folder) {
  const std::vector<std::uint8_t> owner = OwnerOf(object);
  if (owner.empty()) return false;
  const PSID sid = const_cast<std::uint8_t*>(owner.data());
  if (IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) return true;
  const std::vector<std::uint8_t> creator = CreatorOwner(folder);
  return !creator.empty() && EqualSid(sid, const_cast<std::uint8_t*>(creator.data())) != FALSE;
}

}  // namespace

std::intptr_t CreateExclusive(const std::u16string& path) {
  // CREATE_NEW never opens an existing file or follows a link of that name; readers may look in.
  // Not write-through: that would cost one synchronous disk write a file installed, where the
  // journal needs one only before a step it could not undo without its record (see Flush).
  const HANDLE h = CreateFileW(WidePtr(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<std::intptr_t>(h);
}

bool Append(std::intptr_t file, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size != 0) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!WriteFile(Handle(file), bytes, chunk, &n, nullptr) || n == 0) return false;
    bytes += n;
    size -= n;
  }
  return true;
}

bool Flush(std::intptr_t file) { return FlushFileBuffers(Handle(file)) != 0; }

void Close(std::intptr_t file) {
  if (file != kNoFile) CloseHandle(Handle(file));
}

Trust OpenTrusted(const std::u16string& path, std::intptr_t& file) {
  // The reparse point itself is opened, never what it leads to.
  const HANDLE h = CreateFileW(WidePtr(path), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD reason = GetLastError();
    return reason == ERROR_FILE_NOT_FOUND || reason == ERROR_PATH_NOT_FOUND ? Trust::Missing : Trust::Refused;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool plain = GetFileInformationByHandle(h, &info) &&
                     (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
                     info.nNumberOfLinks == 1;
  if (!plain || !OwnerTrusted(h, FolderOf(path))) {
    CloseHandle(h);
    return Trust::Refused;
  }
  file = reinterpret_cast<std::intptr_t>(h);
  return Trust::Trusted;
}

bool ReadAll(std::intptr_t file, std::string& text, std::size_t limit) {
  text.clear();
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(Handle(file), buffer, sizeof buffer, &n, nullptr)) return false;
    if (n == 0) return true;
    if (text.size() + n > limit) return false;
    text.append(buffer, n);
  }
}

bool MakeProtectedFolder(const std::u16string& path, JournalWriters writers) {
  // Full control for the system and the administrators (and the folder's owner, for one user's
  // journals), nothing inherited, nothing for others: what is inside can only have been written
  // by them.
  const wchar_t* const access = writers == JournalWriters::Administrators
                                    ? L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
                                    : L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;OW)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(access, SDDL_REVISION_1, &descriptor, nullptr))
    return false;
  const LocalMemory held(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  if (!CreateDirectoryW(WidePtr(path), &attributes) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  const HANDLE h =
      CreateFileW(WidePtr(path), READ_CONTROL | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool folder = GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
  const bool trusted = folder && OwnerTrusted(h, FolderOf(path));
  CloseHandle(h);
  return trusted;
}

}  // namespace setup::journal_file
