#include <windows.h>

#include <string>

#include "base/Errors.h"
#include "base/Platform.h"
#include "base/Text.h"
#include "tools/stpack/Console.h"

namespace setup::stpack {

namespace {
bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

[[noreturn]] void Fail(DWORD which, DWORD error) {
  const std::u16string_view name = which == STD_OUTPUT_HANDLE ? u"standard output" : u"standard error";
  throw Exception(FormatText(u"Cannot write to %s. %s", {name, platform::SystemErrorText(error)}));
}

// WriteConsoleW shows Chinese names whatever the console's code page; anything else (a pipe,
// a file) receives UTF-8 so the bytes are the same as on other systems.
void Write(DWORD which, std::u16string_view text) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  if (IsConsole(handle)) {
    DWORD written = 0;
    if (!WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.data()), static_cast<DWORD>(text.size()), &written,
                       nullptr)) {
      Fail(which, GetLastError());
    }
    return;
  }
  const std::string bytes = ToUtf8(text);
  DWORD written = 0;
  if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    Fail(which, GetLastError());
  if (written != bytes.size()) Fail(which, ERROR_DISK_FULL);
}
}  // namespace

void WriteStdout(std::u16string_view text) { Write(STD_OUTPUT_HANDLE, text); }
void WriteStderr(std::u16string_view text) { Write(STD_ERROR_HANDLE, text); }
bool StderrIsTerminal() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

}  // namespace setup::stpack
