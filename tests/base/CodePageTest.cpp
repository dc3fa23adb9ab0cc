#include <gtest/gtest.h>

#include "base/CodePage.h"

namespace setup {
namespace {

// Sets a code page for one test and restores the system's afterwards.
class CodePageScope {
 public:
  explicit CodePageScope(unsigned codePage) { SetAnsiCodePage(codePage); }
  ~CodePageScope() { SetAnsiCodePage(0); }
};

TEST(CodePage, Windows1252) {
  CodePageScope scope(1252);
  EXPECT_EQ(AnsiCodePage(), 1252u);
  EXPECT_EQ(WideToAnsi(u"caf\u00E9 \u20AC"), "caf\xE9 \x80");
  EXPECT_EQ(AnsiToWide("caf\xE9 \x80"), u"caf\u00E9 \u20AC");
  EXPECT_EQ(AnsiToWide("\x81\x9D"), u"\u0081\u009D");  // undefined bytes keep their number
  EXPECT_EQ(WideToAnsi(u"\u6F9C"), "?");               // not in the code page
}

TEST(CodePage, Chinese936TurnsOneCharacterIntoTwoBytes) {
  CodePageScope scope(936);
  EXPECT_EQ(WideToAnsi(u"a\u6F9C\u5DDD"), "a\xC0\xBD\xB4\xA8");
  EXPECT_EQ(AnsiToWide("a\xC0\xBD\xB4\xA8"), u"a\u6F9C\u5DDD");
  EXPECT_EQ(WideToAnsi(u"\u0E01"), "?");  // Thai has no mapping here
}

TEST(CodePage, AsciiIsTheSameEverywhere) {
  for (unsigned cp : {1252u, 936u, 950u, 1251u}) {
    CodePageScope scope(cp);
    EXPECT_EQ(WideToAnsi(u"Setup.stp ,|#"), "Setup.stp ,|#");
    EXPECT_EQ(AnsiToWide("Setup.stp ,|#"), u"Setup.stp ,|#");
  }
}

}  // namespace
}  // namespace setup
