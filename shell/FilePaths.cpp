#include "shell/FilePaths.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/Text.h"
#include "shell/UniqueHandle.h"

namespace setup {

namespace {

// Calls `fill(buffer, size)` until the buffer is large enough; `fill` returns the characters
// written, or the size needed (including the NUL) when the buffer is too small, or 0 on failure.
template <class Fill>
std::u16string GrowingCall(Fill fill) {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(std::max<std::size_t>(length, buffer.size() * 2));
  }
}

std::u16string FullLongPath(const std::u16string& path) {
  std::u16string full =
      GrowingCall([&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(WidePtr(path), size, buffer, nullptr); });
  if (full.empty()) return path;
  // Short (8.3) names become long ones; a path that does not exist stays as it is.
  std::u16string longPath =
      GrowingCall([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(WidePtr(full), buffer, size); });
  return longPath.empty() ? full : longPath;
}

bool FileIdentity(const std::u16string& path, BY_HANDLE_FILE_INFORMATION& info) {
  // No access rights are needed to read the identity, and every sharing mode is allowed.
  UniqueHandle file(CreateFileW(WidePtr(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file && GetFileInformationByHandle(file.Get(), &info);
}

bool SameTextAnyCase(const std::u16string& a, const std::u16string& b) {
  return CompareStringOrdinal(WidePtr(a), static_cast<int>(a.size()), WidePtr(b), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace

std::u16string ModuleFilePath() {
  return GrowingCall([](wchar_t* buffer, DWORD size) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer, size);
    // A truncated name fills the whole buffer: ask for a larger one.
    return length >= size ? size + 1 : length;
  });
}

bool SameFile(const std::u16string& a, const std::u16string& b) {
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  if (!FileIdentity(a, first) || !FileIdentity(b, second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool LiesInFolder(const std::u16string& path, const std::u16string& folder) {
  std::u16string base = FullLongPath(folder);
  if (base.empty()) return false;
  if (base.back() != u'\\') base += u'\\';
  const std::u16string full = FullLongPath(path);
  return full.size() > base.size() && SameTextAnyCase(full.substr(0, base.size()), base);
}

}  // namespace setup
