#include <windows.h>

#include <string>

#include "base/Text.h"
#include "tools/stpack/Console.h"

namespace setup::stpack {

namespace {
bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// WriteConsoleW shows Chinese names whatever the console's code page; anything else (a pipe,
// a file) receives UTF-8 so the bytes are the same as on other systems.
void Write(DWORD which, std::u16string_view text) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  if (IsConsole(handle)) {
    DWORD written = 0;
    WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.data()), static_cast<DWORD>(text.size()), &written,
                  nullptr);
    return;
  }
  const std::string bytes = ToUtf8(text);
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
}  // namespace

void WriteStdout(std::u16string_view text) { Write(STD_OUTPUT_HANDLE, text); }
void WriteStderr(std::u16string_view text) { Write(STD_ERROR_HANDLE, text); }
bool StderrIsTerminal() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

}  // namespace setup::stpack
