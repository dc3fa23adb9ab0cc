#include "config/Global.h"

#include <windows.h>

#include "base/Text.h"

namespace setup::Global {

std::int32_t LanguageIndex = kEnglish;

std::u16string LoadConfigString(unsigned id) {
  wchar_t buffer[1024] = {};
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, buffer, 1024);
  return length > 0 ? FromWide(buffer, static_cast<std::size_t>(length)) : std::u16string();
}

std::int32_t LanguageIndexForCodePage(unsigned codePage) { return codePage == 936 ? kChinese : kEnglish; }

}  // namespace setup::Global
