#include <windows.h>

#include <algorithm>

#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/Text.h"

namespace setup {

namespace {
HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

FileStream::FileStream(const std::u16string& fileName, Mode mode)
    : fileName_(fileName), handle_(reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE)) {
  HANDLE h;
  if (mode == Mode::OpenRead) {
    h = CreateFileW(WidePtr(fileName), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFOpenError(fileName, LastErrorText());
  } else if (mode == Mode::Log) {
    // A log named on an administrator's command line may lie where others can write: the link
    // itself is opened, never what it leads to, and an existing file is only appended to.
    h = CreateFileW(WidePtr(fileName), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFCreateError(fileName, LastErrorText());
    BY_HANDLE_FILE_INFORMATION info{};
    const bool plain = GetFileInformationByHandle(h, &info) &&
                       (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
                       info.nNumberOfLinks == 1;
    if (!plain || SetFilePointer(h, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) {
      CloseHandle(h);
      throw EFCreateError(fileName, kNotAPlainLogFile);
    }
  } else {
    h = CreateFileW(WidePtr(fileName), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFCreateError(fileName, LastErrorText());
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
}

FileStream::~FileStream() {
  if (Handle(handle_) != INVALID_HANDLE_VALUE) CloseHandle(Handle(handle_));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
    DWORD n = 0;
    if (!ReadFile(Handle(handle_), out + done, chunk, &n, nullptr) || n == 0) break;
    done += n;
  }
  return done;
}

void FileStream::WriteBuffer(const void* buffer, std::size_t count) {
  const auto* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
    DWORD n = 0;
    if (!WriteFile(Handle(handle_), in + done, chunk, &n, nullptr) || n == 0) throw EWriteError();
    done += n;
  }
}

std::int64_t FileStream::Seek(std::int64_t offset, Origin origin) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER result;
  const DWORD method = origin == Origin::Begin ? FILE_BEGIN : origin == Origin::Current ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(Handle(handle_), distance, &result, method)) return -1;
  return result.QuadPart;
}

std::int64_t FileStream::Size() {
  LARGE_INTEGER size;
  return GetFileSizeEx(Handle(handle_), &size) ? size.QuadPart : -1;
}

}  // namespace setup
