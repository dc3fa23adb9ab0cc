#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/Text.h"
#include "package/PackagePaths.h"

namespace setup {
namespace {

struct PathCase {
  std::u16string text;
  bool safe;
};

std::string Name(const PathCase& c) { return ToUtf8(c.text); }

class SafeRelativeFolder : public ::testing::TestWithParam<PathCase> {};

TEST_P(SafeRelativeFolder, AcceptsOnlyFoldersBelowTheBase) {
  EXPECT_EQ(IsSafeRelativeFolder(GetParam().text), GetParam().safe) << Name(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SafeRelativeFolder,
    ::testing::Values(PathCase{u"", true}, PathCase{u"sub\\", true}, PathCase{u"sub\\deeper\\", true},
                      PathCase{u"sub", true}, PathCase{u"a/b/", true}, PathCase{u".\\sub\\", false},
                      PathCase{u"\u4E2D\u6587\\", true}, PathCase{u"x$System$\\", true}, PathCase{u"con.d\\x\\", false},
                      PathCase{u"..\\", false}, PathCase{u"..", false}, PathCase{u"sub\\..\\..\\", false},
                      PathCase{u"sub/../", false}, PathCase{u"...\\", false}, PathCase{u".. \\", false},
                      PathCase{u"\\abs\\", false}, PathCase{u"/abs/", false}, PathCase{u"\\\\server\\share\\", false},
                      PathCase{u"\\\\?\\C:\\", false}, PathCase{u"C:\\x\\", false}, PathCase{u"C:x\\", false},
                      PathCase{u"sub\\name:stream\\", false}, PathCase{u"CON\\", false}, PathCase{u"sub\\aux\\", false},
                      PathCase{u"sub\\Lpt3.txt\\", false}, PathCase{u"tab\there\\", false},
                      // Empty components, a second trailing separator, DEL and C1 controls.
                      PathCase{u"a\\\\b\\", false}, PathCase{u"sub\\\\", false}, PathCase{u"/", false},
                      PathCase{u"a\u007F\\", false}, PathCase{u"\u009B2J\\", false}, PathCase{u"sub\\. \\", false}));

class SafeName : public ::testing::TestWithParam<PathCase> {};

// Column 1 is checked whole, every component, although only its last one is written.
TEST_P(SafeName, EveryComponentIsChecked) {
  EXPECT_EQ(IsSafeName(GetParam().text), GetParam().safe) << Name(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeName,
    ::testing::Values(PathCase{u"a.txt", true}, PathCase{u"x\\y\\name.txt", true}, PathCase{u"zz\\keep.dll", true},
                      PathCase{u"q/keep.dll", true}, PathCase{u"\u6587\u4EF6.txt", true}, PathCase{u"", false},
                      PathCase{u".", false}, PathCase{u"sub\\", false}, PathCase{u"\\keep.dll", false},
                      PathCase{u"zz:keep.dll", false}, PathCase{u"C:keep.dll", false},
                      PathCase{u"..\\outside\\canary.txt", false}, PathCase{u"a\\..\\..\\b.txt", false},
                      PathCase{u"x\\..", false}, PathCase{u"a\\\\b.txt", false}, PathCase{u"... \\b.txt", false},
                      PathCase{u"CON\\b.txt", false}, PathCase{u"sub\\nul.txt", false},
                      PathCase{u"a\u001B]0;title\u0007\\b.txt", false}, PathCase{u"a\r\\b.txt", false},
                      PathCase{u"a\u0085\\b.txt", false}, PathCase{u"a|b\\c.txt", true}));

struct ComponentCase {
  std::u16string name;
  std::u16string last;
};

class LastComponent : public ::testing::TestWithParam<ComponentCase> {};

TEST_P(LastComponent, FollowsTheLastSeparatorOrColon) {
  EXPECT_EQ(LastNameComponent(GetParam().name), GetParam().last);
}

INSTANTIATE_TEST_SUITE_P(Names, LastComponent,
                         ::testing::Values(ComponentCase{u"a.txt", u"a.txt"}, ComponentCase{u"sub\\a.txt", u"a.txt"},
                                           ComponentCase{u"C:a.txt", u"a.txt"}, ComponentCase{u"x/y/z", u"z"},
                                           ComponentCase{u"sub\\", u""}, ComponentCase{u"..\\..\\evil", u"evil"},
                                           ComponentCase{u"a/..", u".."}, ComponentCase{u"", u""}));

struct MacroCase {
  std::u16string folder;
  std::optional<std::u16string> rest;
};

class Macro : public ::testing::TestWithParam<MacroCase> {};

TEST_P(Macro, OneLeadingMacroThenASafeFolder) {
  const auto rest = MacroRemainder(GetParam().folder);
  ASSERT_EQ(rest.has_value(), GetParam().rest.has_value()) << ToUtf8(GetParam().folder);
  if (rest) {
    EXPECT_EQ(std::u16string(*rest), *GetParam().rest);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Specs, Macro,
    ::testing::Values(MacroCase{u"$System$", u""}, MacroCase{u"$Third$", u""}, MacroCase{u"$THIRD$", u""},
                      MacroCase{u"$third$sub\\", u"sub\\"}, MacroCase{u"$System$drivers\\etc\\", u"drivers\\etc\\"},
                      // "System" is there with its exact case, so "$SYSTEM$" is the macro.
                      MacroCase{u"$SYSTEM$System\\", u"System\\"},
                      // No "System" with exact case and no "$Third$": not the system folder.
                      MacroCase{u"$SYSTEM$", std::nullopt}, MacroCase{u"$system$", std::nullopt},
                      MacroCase{u"$abc$", std::nullopt}, MacroCase{u"$", std::nullopt},
                      // "System" makes "$System$" the macro, which is not at the start.
                      MacroCase{u"$Third$System\\", std::nullopt}, MacroCase{u"$System$$system$", std::nullopt},
                      MacroCase{u"$Third$x\\$third$", std::nullopt}, MacroCase{u"$System$..\\", std::nullopt},
                      MacroCase{u"$System$\\x\\", std::nullopt}, MacroCase{u"$Third$C:\\", std::nullopt}));

}  // namespace
}  // namespace setup
