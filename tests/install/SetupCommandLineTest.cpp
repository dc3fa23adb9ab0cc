// Setup.exe's command line: /S, /D= (last, blanks kept), /LOG=, /? and what makes a line invalid.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/Text.h"
#include "install/SetupCommandLine.h"

namespace setup {
namespace {

struct LineCase {
  const char* name;
  std::u16string arguments;
  bool valid;
  bool silent;
  bool usage;
  std::optional<std::u16string> destination;
  std::u16string logFile;
  bool allowDowngrade = false;
};

class SetupCommandLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(SetupCommandLine, Parses) {
  const LineCase& c = GetParam();
  const SetupCommand command = ParseSetupCommand(c.arguments);
  EXPECT_EQ(command.valid, c.valid);
  EXPECT_EQ(command.silent, c.silent);
  EXPECT_EQ(command.usage, c.usage);
  EXPECT_EQ(command.destination.has_value(), c.destination.has_value());
  if (command.destination && c.destination) {
    EXPECT_EQ(ToUtf8(*command.destination), ToUtf8(*c.destination));
  }
  EXPECT_EQ(ToUtf8(command.logFile), ToUtf8(c.logFile));
  EXPECT_EQ(command.allowDowngrade, c.allowDowngrade);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SetupCommandLine,
    ::testing::Values(
        LineCase{"Empty", u"", true, false, false, std::nullopt, u""},
        LineCase{"Blanks", u"   ", true, false, false, std::nullopt, u""},
        LineCase{"Silent", u" /S", true, true, false, std::nullopt, u""},
        LineCase{"SilentLowerCase", u"/s", true, true, false, std::nullopt, u""},
        LineCase{"FolderWithBlanks", u"/S /D=C:\\Program Files\\澜川 Soft\\Glyphor  ", true, true, false,
                 u"C:\\Program Files\\澜川 Soft\\Glyphor", u""},
        LineCase{"FolderTakesTheRest", u"/S /D=C:\\a /LOG=x", true, true, false, u"C:\\a /LOG=x", u""},
        LineCase{"Log", u"/S /LOG=C:\\logs\\setup.log", true, true, false, std::nullopt, u"C:\\logs\\setup.log"},
        LineCase{"QuotedLog", u"/LOG=\"C:\\my logs\\setup.log\" /S", true, true, false, std::nullopt,
                 u"C:\\my logs\\setup.log"},
        LineCase{"LogAndFolder", u"/log=l.txt /S /D=D:\\x", true, true, false, u"D:\\x", u"l.txt"},
        LineCase{"QuotedFolder", u"/S \"/D=C:\\Silent Demo\\Glyphor\"", true, true, false, u"C:\\Silent Demo\\Glyphor",
                 u""},
        LineCase{"QuotedFolderNotLast", u"\"/D=C:\\a b\" /S", false, false, false, u"C:\\a b", u""},
        LineCase{"Usage", u"/?", true, false, true, std::nullopt, u""},
        LineCase{"UnknownSwitch", u"/S /Q", false, true, false, std::nullopt, u""},
        LineCase{"SilentWithMore", u"/Silent", false, false, false, std::nullopt, u""},
        LineCase{"EmptyFolder", u"/S /D=  ", false, true, false, u"", u""},
        LineCase{"EmptyLog", u"/S /LOG=", false, true, false, std::nullopt, u""},
        LineCase{"AllowDowngrade", u"/S /ALLOWDOWNGRADE /D=C:\\x", true, true, false, u"C:\\x", u"", true},
        LineCase{"AllowDowngradeAnyCase", u"/allowDowngrade /S", true, true, false, std::nullopt, u"", true},
        LineCase{"AllowDowngradeWithMore", u"/S /ALLOWDOWNGRADES", false, true, false, std::nullopt, u""},
        LineCase{"StrayWord", u"install", false, false, false, std::nullopt, u""}),
    [](const auto& item) { return std::string(item.param.name); });

struct ProgramCase {
  const char* name;
  std::u16string line;
  std::u16string arguments;
};

class ProgramName : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramName, IsSkipped) {
  EXPECT_EQ(ToUtf8(std::u16string(ArgumentsOf(GetParam().line))), ToUtf8(GetParam().arguments));
}

INSTANTIATE_TEST_SUITE_P(Lines, ProgramName,
                         ::testing::Values(ProgramCase{"Quoted", u"\"C:\\a b\\Setup.exe\" /S", u" /S"},
                                           ProgramCase{"Plain", u"Setup.exe /S /D=C:\\x y", u" /S /D=C:\\x y"},
                                           ProgramCase{"Alone", u"Setup.exe", u""},
                                           ProgramCase{"Unclosed", u"\"C:\\Setup.exe /S", u""}),
                         [](const auto& item) { return std::string(item.param.name); });

}  // namespace
}  // namespace setup
