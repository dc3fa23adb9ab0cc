#include "table/CellEscaping.h"

namespace setup {

std::u16string EscapeCellText(std::u16string_view value, bool keepLineBreaks) {
  std::u16string stored;
  stored.reserve(value.size());
  for (char16_t c : value) {
    if (c == 0) break;
    if (c == u',') {
      stored += kEscapedComma;
    } else if (c == u'|') {
      stored += kEscapedBar;
    } else if (c == u'\t' || c == u'\n' || c == u'\r') {
      stored += keepLineBreaks ? c : u' ';
    } else if (c < 32) {
      stored += u' ';
    } else {
      stored += c;
    }
  }
  return stored;
}

std::u16string UnescapeCellText(std::u16string_view stored) {
  std::u16string value(stored);
  for (char16_t& c : value) {
    if (c == kEscapedComma) {
      c = u',';
    } else if (c == kEscapedBar) {
      c = u'|';
    }
  }
  return value;
}

}  // namespace setup
