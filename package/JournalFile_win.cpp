#include <windows.h>

#include <algorithm>

#include "base/Text.h"
#include "package/JournalFile.h"

namespace setup::journal_file {

namespace {
HANDLE Handle(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }
}  // namespace

std::intptr_t CreateExclusive(const std::u16string& path) {
  // CREATE_NEW never opens an existing file or follows a link of that name; readers may look in.
  // Not write-through: that would cost one synchronous disk write a file installed, where the
  // journal needs one only before a step it could not undo without its record (see Flush).
  const HANDLE h =
      CreateFileW(WidePtr(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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

}  // namespace setup::journal_file
