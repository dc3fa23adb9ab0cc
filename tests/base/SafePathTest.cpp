// The one rule set for relative paths from untrusted input: the package's folders and names and
// the uninstaller's file list.
#include <gtest/gtest.h>

#include <string>

#include "base/SafePath.h"
#include "base/Text.h"

namespace setup {
namespace {

struct PathCase {
  std::u16string text;
  bool safe;
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << '"' << ToUtf8(c.text) << '"'; }

class SafePathComponent : public ::testing::TestWithParam<PathCase> {};

TEST_P(SafePathComponent, NamesOnlyAnOrdinaryEntry) {
  EXPECT_EQ(IsSafePathComponent(GetParam().text), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Components, SafePathComponent,
    ::testing::Values(PathCase{u"a.txt", true}, PathCase{u"a,b.txt", true}, PathCase{u".hidden", true},
                      PathCase{u"CONSOLE.txt", true}, PathCase{u"COM10", true}, PathCase{u"\u6587\u4EF6.txt", true},
                      PathCase{u"read me.v2.txt", true}, PathCase{u"x1B", true}, PathCase{u"na\u00EFve", true},
                      PathCase{u"$System$", true}, PathCase{u"a..b", true},
                      // Empty, dots and spaces: Windows trims them to "." or "..".
                      PathCase{u"", false}, PathCase{u".", false}, PathCase{u"..", false}, PathCase{u"...", false},
                      PathCase{u" ", false}, PathCase{u". ", false}, PathCase{u".. ", false}, PathCase{u" . .", false},
                      // Devices, with extensions and trailing spaces.
                      PathCase{u"CON", false}, PathCase{u"con.txt", false}, PathCase{u"Nul", false},
                      PathCase{u"nul.txt", false}, PathCase{u"PRN.log", false}, PathCase{u"aux", false},
                      PathCase{u"COM1", false}, PathCase{u"com9.dat", false}, PathCase{u"LPT1", false},
                      PathCase{u"lpt9.x.y", false}, PathCase{u"COM9 .txt", false}, PathCase{u"CONOUT$", false},
                      PathCase{u"conin$", false}, PathCase{u"COM\u00B9", false}, PathCase{u"lpt\u00B3.txt", false},
                      // Control characters: C0, DEL and C1.
                      PathCase{u"a\nb", false}, PathCase{u"a\tb", false}, PathCase{std::u16string(u"a\0b", 3), false},
                      PathCase{u"\u001B]0;title\u0007", false}, PathCase{u"a\rb", false}, PathCase{u"a\u007Fb", false},
                      PathCase{u"a\u0085b", false}, PathCase{u"\u009B2J", false},
                      // Separators and ":" leave the folder.
                      PathCase{u"a:b", false}, PathCase{u"C:", false}, PathCase{u"a\\b", false},
                      PathCase{u"a/b", false}));

class SafeRelativePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(SafeRelativePath, StaysBelowItsBase) { EXPECT_EQ(IsSafeRelativePath(GetParam().text), GetParam().safe); }

INSTANTIATE_TEST_SUITE_P(
    Paths, SafeRelativePath,
    ::testing::Values(
        PathCase{u"a.txt", true}, PathCase{u"sub\\a.txt", true}, PathCase{u"sub/deeper/a.txt", true},
        PathCase{u"zz\\keep.dll", true}, PathCase{u"\u6F9C\u5DDD\\read me.v2.txt", true},
        // Empty text and empty components, leading and trailing separators.
        PathCase{u"", false}, PathCase{u"\\a.txt", false}, PathCase{u"/etc/passwd", false}, PathCase{u"sub\\", false},
        PathCase{u"a\\\\b", false}, PathCase{u"a//b", false}, PathCase{u"\\\\server\\share\\a", false},
        PathCase{u"\\\\?\\C:\\a", false}, PathCase{u"\\\\.\\PhysicalDrive0", false},
        // Drives and streams.
        PathCase{u"C:\\a", false}, PathCase{u"C:a", false}, PathCase{u"zz:keep.dll", false},
        PathCase{u"a.txt:hidden", false},
        // Dots and spaces anywhere.
        PathCase{u"..\\outside\\canary.txt", false}, PathCase{u"sub\\..\\..\\a", false}, PathCase{u".\\a", false},
        PathCase{u"sub\\.. \\a", false}, PathCase{u"...\\a", false}, PathCase{u"a\\. ", false},
        // Devices and control characters in inner components.
        PathCase{u"CON\\a.txt", false}, PathCase{u"sub\\nul.txt", false}, PathCase{u"COM1", false},
        PathCase{u"a\u001B[2J\\b.txt", false}, PathCase{u"a\r\\b.txt", false}, PathCase{u"x\u009B\\b", false}));

TEST(ControlCharacter, IsC0DelAndC1) {
  for (const char16_t c :
       {u'\0', u'\t', u'\n', u'\r', u'\u001B', u'\u001F', u'\u007F', u'\u0080', u'\u0085', u'\u009B', u'\u009F'}) {
    EXPECT_TRUE(IsControlCharacter(c)) << static_cast<int>(c);
  }
  for (const char16_t c : {u' ', u'~', u'\\', u'\u00A0', u'\u00EF', u'\u4E2D', u'\uFFFD'}) {
    EXPECT_FALSE(IsControlCharacter(c)) << static_cast<int>(c);
  }
}

}  // namespace
}  // namespace setup
