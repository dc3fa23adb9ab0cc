#include "product/ProductValues.h"

#include "base/SafePath.h"
#include "base/Text.h"

namespace setup::product {

std::u16string ControlCharacterProblem(std::u16string_view value) {
  for (const char16_t c : value) {
    if (!IsControlCharacter(c)) continue;
    constexpr std::u16string_view kDigits = u"0123456789ABCDEF";
    const std::u16string code{u'U', u'+', u'0', u'0', kDigits[(c >> 4) & 15], kDigits[c & 15]};
    return u"holds the control character " + code;
  }
  return {};
}

std::u16string FileNameProblem(std::u16string_view value) {
  // Those of SafePath, and the rest that Windows refuses in a file name.
  constexpr std::u16string_view kForbidden = u"\\/:*?\"<>|";
  for (const char16_t c : value) {
    if (kForbidden.find(c) != std::u16string_view::npos) return FormatText(u"holds \"%s\"", {std::u16string(1, c)});
  }
  if (value.back() == u'.' || value.back() == u' ') return u"ends with a dot or a space";
  if (IsReservedDeviceName(value)) return u"is a device name";
  if (!IsSafePathComponent(value)) return u"is not a plain file name";
  return {};
}

std::u16string KeyNameProblem(std::u16string_view value) {
  if (value.find(u'\\') != std::u16string_view::npos) return u"holds \"\\\", which would make nested registry keys";
  return {};
}

std::u16string ProductIdProblem(std::u16string_view value) {
  for (const char16_t c : value) {
    const bool allowed = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
                         c == u'.' || c == u'-' || c == u'_';
    if (!allowed) return u"may hold only letters, digits, \".\", \"-\" and \"_\"";
  }
  // A name of dots alone, or one ending in a dot, reads differently in a path or a command.
  if (value.front() == u'.' || value.back() == u'.') return u"may not begin or end with \".\"";
  return {};
}

}  // namespace setup::product
