#include "wizard/DestinationRules.h"

namespace setup {

namespace {

// Only the letters a-z have an upper case here, as drive letters do.
char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool IsBlankOrControl(char16_t c) { return c <= u' '; }

}  // namespace

bool IsOnFixedDrive(std::u16string_view text, std::u16string_view fixedDriveLetters) {
  if (text.empty()) return false;
  if (fixedDriveLetters.find(UpperAscii(text.front())) == std::u16string_view::npos) return false;
  return text.substr(1, 2) == u":\\";
}

std::u16string NormaliseSetupDir(std::u16string_view text) {
  std::u16string folder(text);
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  std::size_t first = 0;
  while (first < folder.size() && IsBlankOrControl(folder[first])) ++first;
  std::size_t end = folder.size();
  while (end > first && IsBlankOrControl(folder[end - 1])) --end;
  return folder.substr(first, end - first);
}

}  // namespace setup
