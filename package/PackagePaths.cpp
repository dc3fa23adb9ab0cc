#include "package/PackagePaths.h"

#include <array>

#include "base/Text.h"

namespace setup {

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool HoldsControlCharacter(std::u16string_view text) {
  for (const char16_t c : text) {
    if (c < 0x20) return true;
  }
  return false;
}

// "..", "...", ". ." and the like: Windows drops trailing dots and spaces, so these are not
// ordinary names. A single "." is handled by the callers.
bool IsDotsAndSpaces(std::u16string_view component) {
  if (component.empty()) return false;
  for (const char16_t c : component) {
    if (c != u'.' && c != u' ') return false;
  }
  return true;
}

bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && SameTextIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoreCase(std::u16string_view text, std::u16string_view part) {
  for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (SameTextIgnoreCase(text.substr(i, part.size()), part)) return true;
  }
  return false;
}

}  // namespace

bool IsReservedDeviceName(std::u16string_view component) {
  static constexpr std::array<std::u16string_view, 30> kDevices = {
      u"CON",       u"PRN",       u"AUX",       u"NUL",       u"COM1",   u"COM2",   u"COM3",      u"COM4",
      u"COM5",      u"COM6",      u"COM7",      u"COM8",      u"COM9",   u"LPT1",   u"LPT2",      u"LPT3",
      u"LPT4",      u"LPT5",      u"LPT6",      u"LPT7",      u"LPT8",   u"LPT9",   u"COM\u00B9", u"COM\u00B2",
      u"COM\u00B3", u"LPT\u00B9", u"LPT\u00B2", u"LPT\u00B3", u"CONIN$", u"CONOUT$"};
  std::u16string_view base = component.substr(0, component.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  for (const auto device : kDevices) {
    if (SameTextIgnoreCase(base, device)) return true;
  }
  return false;
}

bool IsSafeFileName(std::u16string_view component) {
  return !component.empty() && component != u"." && !IsDotsAndSpaces(component) && !IsReservedDeviceName(component) &&
         !HoldsControlCharacter(component);
}

bool IsSafeRelativeFolder(std::u16string_view folder) {
  if (folder.empty()) return true;
  if (IsSeparator(folder.front())) return false;
  if (folder.find(u':') != std::u16string_view::npos || HoldsControlCharacter(folder)) return false;
  std::size_t start = 0;
  while (start <= folder.size()) {
    std::size_t end = start;
    while (end < folder.size() && !IsSeparator(folder[end])) ++end;
    const std::u16string_view component = folder.substr(start, end - start);
    if (component != u"." && (IsDotsAndSpaces(component) || IsReservedDeviceName(component))) return false;
    start = end + 1;
  }
  return true;
}

std::u16string_view LastNameComponent(std::u16string_view name) {
  const std::size_t cut = name.find_last_of(u"\\/:");
  return cut == std::u16string_view::npos ? name : name.substr(cut + 1);
}

std::optional<std::u16string_view> MacroRemainder(std::u16string_view folder) {
  const std::u16string_view macro =
      folder.find(u"System") != std::u16string_view::npos ? std::u16string_view(u"$System$") : u"$Third$";
  if (!StartsWithIgnoreCase(folder, macro)) return std::nullopt;
  const std::u16string_view rest = folder.substr(macro.size());
  if (ContainsIgnoreCase(rest, macro) || !IsSafeRelativeFolder(rest)) return std::nullopt;
  return rest;
}

}  // namespace setup
