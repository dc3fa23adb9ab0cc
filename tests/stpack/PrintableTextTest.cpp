// How the tool prints text from a package: control characters escaped, backslashes left alone
// except where they would read as an escape.
#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"
#include "tools/stpack/PrintableText.h"

namespace setup::stpack {
namespace {

struct PrintCase {
  const char* label;
  std::u16string text;
  std::u16string printed;
};

// The documented way back, from left to right: "\xHH" is that character, "\\" one backslash, any
// other backslash itself.
std::u16string ReadBack(std::u16string_view printed) {
  const auto isHex = [](char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); };
  const auto hex = [](char16_t c) { return c <= u'9' ? c - u'0' : c - u'A' + 10; };
  std::u16string text;
  for (std::size_t i = 0; i < printed.size(); ++i) {
    if (printed.substr(i, 2) == u"\\\\") {
      text += u'\\';
      ++i;
    } else if (printed.substr(i, 2) == u"\\x" && i + 3 < printed.size() && isHex(printed[i + 2]) &&
               isHex(printed[i + 3])) {
      text += static_cast<char16_t>(hex(printed[i + 2]) * 16 + hex(printed[i + 3]));
      i += 3;
    } else {
      text += printed[i];
    }
  }
  return text;
}

class Printable : public ::testing::TestWithParam<PrintCase> {};

TEST_P(Printable, EscapesControlsAndAmbiguousBackslashes) {
  EXPECT_EQ(PrintableText(GetParam().text), GetParam().printed);
}

TEST_P(Printable, ReadsBackToTheText) { EXPECT_EQ(ReadBack(GetParam().printed), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Texts, Printable,
    ::testing::Values(
        PrintCase{"plain", u"readme.txt", u"readme.txt"}, PrintCase{"folder", u"sub\\deeper\\", u"sub\\deeper\\"},
        PrintCase{"chinese", u"\u6587\u4EF6 \u00A0.txt", u"\u6587\u4EF6 \u00A0.txt"},
        PrintCase{"titleChange", u"\u001B]0;pwned\u0007", u"\\x1B]0;pwned\\x07"},
        PrintCase{"clearAndReturn", u"\u001B[2J\r", u"\\x1B[2J\\x0D"},
        PrintCase{"tabAndLineFeed", u"a\tb\n", u"a\\x09b\\x0A"},
        PrintCase{"nul", std::u16string(u"a\0b", 3), u"a\\x00b"},
        PrintCase{"deleteAndC1", u"\u007F\u0085\u009B\u009F", u"\\x7F\\x85\\x9B\\x9F"},
        // A backslash that would read as an escape is doubled; others stay as they are.
        PrintCase{"literalEscape", u"sub\\x1B.txt", u"sub\\\\x1B.txt"},
        PrintCase{"notHex", u"C:\\xyz\\x64\\", u"C:\\xyz\\\\x64\\"}, PrintCase{"lowerHex", u"a\\x1b", u"a\\\\x1b"},
        PrintCase{"shortAfterX", u"a\\x1", u"a\\x1"}, PrintCase{"upperX", u"a\\X41", u"a\\X41"},
        PrintCase{"unc", u"\\\\server\\share", u"\\\\\\server\\share"}, PrintCase{"trailing", u"end\\", u"end\\"},
        PrintCase{"controlAfterBackslash", u"a\\\u001B", u"a\\\\\\x1B"}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

}  // namespace
}  // namespace setup::stpack
