#include <windows.h>

#include "base/Platform.h"
#include "base/Text.h"

namespace setup::platform {

char16_t ReadUserDecimalSeparator() {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) == 2) return static_cast<char16_t>(buffer[0]);
  return u'.';
}

std::u16string SystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text = length ? FromWide(buffer, length) : std::u16string();
  if (buffer) LocalFree(buffer);
  // The system's texts end in blanks (the width mask turns line breaks into blanks).
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\r' || text.back() == u'\n')) text.pop_back();
  return text;
}

}  // namespace setup::platform
