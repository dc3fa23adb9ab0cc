#include <windows.h>

#include "base/CodePageConvert.h"

namespace setup::platform {

unsigned SystemAnsiCodePage() { return GetACP(); }

std::string WideToCodePage(unsigned codePage, std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, wide, length, out.data(), size, nullptr, nullptr);
  return out;
}

std::u16string CodePageToWide(unsigned codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  std::u16string out(static_cast<std::size_t>(size), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()), size);
  return out;
}

}  // namespace setup::platform
