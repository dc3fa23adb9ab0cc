// The uninstaller's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstall/CommandLine.h"

namespace setup {
namespace {

struct CommandCase {
  const char* name;
  std::vector<std::u16string> arguments;
  bool silent;
  bool cleanup;
  std::uint64_t handle;
  std::u16string logFile = u"";
};

class CommandLineTest : public testing::TestWithParam<CommandCase> {};

TEST_P(CommandLineTest, Parses) {
  const UninstallCommand command = ParseUninstallCommand(GetParam().arguments);
  EXPECT_EQ(command.silent, GetParam().silent);
  EXPECT_EQ(command.cleanup, GetParam().cleanup);
  EXPECT_EQ(command.cleanupHandle, GetParam().handle);
  EXPECT_EQ(command.logFile, GetParam().logFile);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    testing::Values(
        CommandCase{"None", {}, false, false, 0}, CommandCase{"Silent", {u"/S"}, true, false, 0},
        CommandCase{"SilentLowerCase", {u"/s"}, true, false, 0},
        CommandCase{"UnknownIgnored", {u"/X", u"foo"}, false, false, 0},
        CommandCase{"SilentAmongOthers", {u"/X", u"/S"}, true, false, 0},
        CommandCase{"NotAPrefixMatch", {u"/Silent"}, false, false, 0},
        CommandCase{"Cleanup", {u"/Cleanup", u"1234"}, false, true, 1234},
        CommandCase{"CleanupAnyCase", {u"/CLEANUP", u"18446744073709551615"}, false, true, 18446744073709551615ull},
        // A cleanup run never uninstalls: a bad handle value names no handle.
        CommandCase{"CleanupWithoutHandle", {u"/Cleanup"}, false, true, 0},
        CommandCase{"CleanupHandleTooLarge", {u"/Cleanup", u"18446744073709551616"}, false, true, 0},
        CommandCase{"CleanupHandleNotANumber", {u"/Cleanup", u"12a"}, false, true, 0},
        CommandCase{"CleanupHandleNegative", {u"/Cleanup", u"-5"}, false, true, 0},
        CommandCase{"Log", {u"/S", u"/LOG=C:\\my logs\\uninst.log"}, true, false, 0, u"C:\\my logs\\uninst.log"},
        CommandCase{"LogAnyCase", {u"/log=u.txt"}, false, false, 0, u"u.txt"},
        CommandCase{"LogWithoutFile", {u"/LOG="}, false, false, 0, u""}),
    [](const testing::TestParamInfo<CommandCase>& param) { return param.param.name; });

}  // namespace
}  // namespace setup
