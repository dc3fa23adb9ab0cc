// The destination folder rules: which typed texts may show their drive's free space, and the
// folder the install makes of a text.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "install/DestinationRules.h"

namespace setup {
namespace {

struct FixedDriveCase {
  const char* name;
  std::u16string_view text;
  bool expected;
};

class FixedDriveTest : public testing::TestWithParam<FixedDriveCase> {};

TEST_P(FixedDriveTest, OnlyAFixedLetterWithColonBackslash) {
  const FixedDriveCase& c = GetParam();
  EXPECT_EQ(IsOnFixedDrive(c.text, u"CD"), c.expected) << ToUtf8(c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FixedDriveTest,
    testing::Values(FixedDriveCase{"Proposal", u"C:\\Program Files\\Velmora Soft\\Glyphor", true},
                    FixedDriveCase{"LowerCase", u"d:\\data", true}, FixedDriveCase{"RootOnly", u"C:\\", true},
                    FixedDriveCase{"Empty", u"", false}, FixedDriveCase{"LeadingBlank", u" C:\\Glyphor", false},
                    FixedDriveCase{"NoBackslash", u"C:folder", false}, FixedDriveCase{"DriveOnly", u"C:", false},
                    FixedDriveCase{"LetterOnly", u"C", false}, FixedDriveCase{"ForwardSlash", u"C:/data", false},
                    FixedDriveCase{"NotFixed", u"E:\\data", false},
                    FixedDriveCase{"NotALetter", u"\\\\server\\share", false}),
    [](const testing::TestParamInfo<FixedDriveCase>& param) { return param.param.name; });

TEST(FixedDrive, NoFixedDrivesAcceptNothing) { EXPECT_FALSE(IsOnFixedDrive(u"C:\\data", u"")); }

struct NormaliseCase {
  const char* name;
  std::u16string_view text;
  std::u16string_view expected;
};

class NormaliseTest : public testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseTest, OneTrailingBackslashAndNoOuterBlanks) {
  const NormaliseCase& c = GetParam();
  EXPECT_EQ(ToUtf8(NormaliseSetupDir(c.text)), ToUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NormaliseTest,
    testing::Values(NormaliseCase{"Appended", u"C:\\Program Files\\Velmora Soft\\Glyphor",
                                  u"C:\\Program Files\\Velmora Soft\\Glyphor\\"},
                    NormaliseCase{"AlreadyEnds", u"C:\\Glyphor\\", u"C:\\Glyphor\\"},
                    NormaliseCase{"Empty", u"", u"\\"}, NormaliseCase{"LeadingBlanks", u"  \tC:\\a", u"C:\\a\\"},
                    // The backslash goes on first, so a trailing blank stays inside the folder name.
                    NormaliseCase{"TrailingBlank", u"C:\\a ", u"C:\\a \\"},
                    NormaliseCase{"BlanksAfterBackslash", u"C:\\a\\  ", u"C:\\a\\  \\"},
                    NormaliseCase{"ChineseName", u"C:\\澜川\\绘影", u"C:\\澜川\\绘影\\"}),
    [](const testing::TestParamInfo<NormaliseCase>& param) { return param.param.name; });

struct CanonicalCase {
  const char* name;
  std::u16string_view text;
  std::optional<std::u16string> canonical;
};

class CanonicalTest : public testing::TestWithParam<CanonicalCase> {};

TEST_P(CanonicalTest, TheFolderTheSystemReaches) {
  EXPECT_EQ(CanonicalDestination(GetParam().text), GetParam().canonical);
}

INSTANTIATE_TEST_SUITE_P(Cases, CanonicalTest,
                         testing::Values(CanonicalCase{"Plain", u"C:\\Program Files\\Glyphor",
                                                       u"C:\\Program Files\\Glyphor\\"},
                                         CanonicalCase{"DotDot", u"C:\\Rt\\..\\RtDots", u"C:\\RtDots\\"},
                                         CanonicalCase{"TrailingDot", u"C:\\RtTrail.", u"C:\\RtTrail\\"},
                                         CanonicalCase{"TrailingDotsAndBlanks", u"C:\\a. .\\b  \\", u"C:\\a\\b\\"},
                                         CanonicalCase{"DotSteps", u"c:\\.\\a\\.\\b", u"C:\\a\\b\\"},
                                         CanonicalCase{"DotDotPastTheRoot", u"C:\\..\\..\\Windows", u"C:\\Windows\\"},
                                         CanonicalCase{"ForwardSlashes", u"C:/Data//Glyphor/", u"C:\\Data\\Glyphor\\"},
                                         CanonicalCase{"Chinese", u"D:\\澜川\\绘影", u"D:\\澜川\\绘影\\"},
                                         CanonicalCase{"Relative", u"relative\\folder", std::nullopt},
                                         CanonicalCase{"DriveRelative", u"C:folder", std::nullopt},
                                         CanonicalCase{"Unc", u"\\\\server\\share", std::nullopt}),
                         [](const testing::TestParamInfo<CanonicalCase>& param) { return param.param.name; });

struct ReservedCase {
  const char* name;
  std::u16string_view canonical;
  bool reserved;
};

class ReservedTest : public testing::TestWithParam<ReservedCase> {};

TEST_P(ReservedTest, RootsAndTheSystemsOwnFolders) {
  const std::vector<std::u16string> system{u"C:\\windows", u"C:\\windows\\system32\\", u"C:\\Program Files"};
  EXPECT_EQ(IsReservedDestination(GetParam().canonical, system), GetParam().reserved);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReservedTest,
                         testing::Values(ReservedCase{"Root", u"C:\\", true}, ReservedCase{"OtherRoot", u"D:\\", true},
                                         ReservedCase{"WindowsFolder", u"C:\\WINDOWS\\", true},
                                         ReservedCase{"SystemFolder", u"C:\\Windows\\System32\\", true},
                                         ReservedCase{"ProgramFiles", u"C:\\Program Files\\", true},
                                         ReservedCase{"BelowProgramFiles", u"C:\\Program Files\\Glyphor\\", false},
                                         ReservedCase{"Elsewhere", u"C:\\Glyphor\\", false},
                                         ReservedCase{"SimilarName", u"C:\\Windows2\\", false}),
                         [](const testing::TestParamInfo<ReservedCase>& param) { return param.param.name; });

}  // namespace
}  // namespace setup
