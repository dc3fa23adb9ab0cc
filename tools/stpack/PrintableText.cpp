#include "tools/stpack/PrintableText.h"

#include "base/SafePath.h"

namespace setup::stpack {

namespace {

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

// Whether the printed text after a backslash would make it read as an escape: another backslash
// (a control character is printed with one too), or "x" and two hexadecimal digits.
bool LooksLikeEscape(std::u16string_view after) {
  if (!after.empty() && (after[0] == u'\\' || IsControlCharacter(after[0]))) return true;
  return after.size() >= 3 && after[0] == u'x' && IsHexDigit(after[1]) && IsHexDigit(after[2]);
}

}  // namespace

std::u16string PrintableText(std::u16string_view text) {
  static constexpr std::u16string_view kHexDigits = u"0123456789ABCDEF";
  std::u16string printable;
  printable.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsControlCharacter(c)) {
      printable += u"\\x";
      printable += kHexDigits[(c >> 4) & 0xF];
      printable += kHexDigits[c & 0xF];
    } else if (c == u'\\' && LooksLikeEscape(text.substr(i + 1))) {
      printable += u"\\\\";
    } else {
      printable += c;
    }
  }
  return printable;
}

}  // namespace setup::stpack
