#include "base/SafePath.h"

#include <algorithm>
#include <array>

#include "base/Text.h"

namespace setup {

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// Separators, and ":" that reaches a drive or an alternate stream.
constexpr std::u16string_view kForbiddenCharacters = u":/\\";

bool IsDotsAndSpaces(std::u16string_view component) {
  return std::all_of(component.begin(), component.end(), [](char16_t c) { return c == u'.' || c == u' '; });
}

}  // namespace

bool IsControlCharacter(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsReservedDeviceName(std::u16string_view component) {
  static constexpr std::array<std::u16string_view, 30> kDevices = {
      u"CON",       u"PRN",       u"AUX",       u"NUL",       u"COM1",   u"COM2",   u"COM3",      u"COM4",
      u"COM5",      u"COM6",      u"COM7",      u"COM8",      u"COM9",   u"LPT1",   u"LPT2",      u"LPT3",
      u"LPT4",      u"LPT5",      u"LPT6",      u"LPT7",      u"LPT8",   u"LPT9",   u"COM\u00B9", u"COM\u00B2",
      u"COM\u00B3", u"LPT\u00B9", u"LPT\u00B2", u"LPT\u00B3", u"CONIN$", u"CONOUT$"};
  std::u16string_view base = component.substr(0, component.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  return std::any_of(kDevices.begin(), kDevices.end(),
                     [base](std::u16string_view device) { return SameTextIgnoreCase(base, device); });
}

bool IsSafePathComponent(std::u16string_view component) {
  if (component.empty() || IsDotsAndSpaces(component) || IsReservedDeviceName(component)) return false;
  return std::none_of(component.begin(), component.end(), [](char16_t c) {
    return IsControlCharacter(c) || kForbiddenCharacters.find(c) != std::u16string_view::npos;
  });
}

bool IsSafeRelativePath(std::u16string_view path) {
  std::size_t start = 0;
  while (true) {
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (!IsSafePathComponent(path.substr(start, end - start))) return false;
    if (end == path.size()) return true;
    start = end + 1;
  }
}

}  // namespace setup
