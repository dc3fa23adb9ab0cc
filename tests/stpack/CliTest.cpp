// Help, usage errors and failures of the command line: exit status and what is printed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PackageBytes.h"
#include "StpackFixture.h"
#include "base/Text.h"

namespace setup::testing_support {
namespace {

// The UTF-8 text in double quotes, as the tool's messages quote paths.
std::string Quoted(const std::u16string& text) {
  std::string quoted(1, '"');
  quoted += ToUtf8(text);
  quoted += '"';
  return quoted;
}

struct HelpCase {
  const char* label;
  std::vector<std::u16string> arguments;
  const char* firstLine;
};

class StpackHelp : public StpackTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(StpackHelp, PrintsUsageOnStdoutAndSucceeds) {
  const ToolResult result = Expect(0, GetParam().arguments);
  EXPECT_EQ(result.out.substr(0, result.out.find('\n')), GetParam().firstLine);
  EXPECT_EQ(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, StpackHelp,
    ::testing::Values(HelpCase{"tool", {u"--help"}, "Usage: stpack [--codepage N] COMMAND ARGUMENTS... [OPTIONS]"},
                      HelpCase{"toolShort", {u"-h"}, "Usage: stpack [--codepage N] COMMAND ARGUMENTS... [OPTIONS]"},
                      HelpCase{"afterCodePage",
                               {u"--codepage", u"936", u"--help"},
                               "Usage: stpack [--codepage N] COMMAND ARGUMENTS... [OPTIONS]"},
                      HelpCase{"pack", {u"pack", u"--help"}, "Usage: stpack pack SOURCE_DIR -o PACKAGE [OPTIONS]"},
                      HelpCase{"list", {u"list", u"-h"}, "Usage: stpack list PACKAGE [--password TEXT] [--tsv]"},
                      HelpCase{"verify", {u"verify", u"--help"}, "Usage: stpack verify PACKAGE [--password TEXT]"},
                      HelpCase{"extract",
                               {u"extract", u"x.stp", u"--help"},
                               "Usage: stpack extract PACKAGE DEST [--password TEXT] [--system-dir DIR]"},
                      HelpCase{"manifest",
                               {u"manifest", u"--help"},
                               "Usage: stpack manifest PRODUCT_FILE SETUP_EXE --url URL -o DIR [OPTIONS]"}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

struct UsageCase {
  const char* label;
  std::vector<std::u16string> arguments;
  const char* complaint;  // part of the first stderr line
};

class StpackUsage : public StpackTest, public ::testing::WithParamInterface<UsageCase> {};

// "SRC" and "OUT" in the arguments stand for a real source folder and an output file.
TEST_P(StpackUsage, ExitsWithTwoAndWritesNothing) {
  WriteFileBytes(Temp(u"src") / "a.txt", "a");
  std::vector<std::u16string> arguments;
  for (const std::u16string& argument : GetParam().arguments) {
    arguments.push_back(argument == u"SRC"   ? Text(Temp(u"src"))
                        : argument == u"OUT" ? Text(Temp(u"out.stp"))
                                             : argument);
  }
  const ToolResult result = Expect(2, arguments);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find(GetParam().complaint), std::string::npos) << result.err;
  EXPECT_EQ(result.LastErrorLine(), "Try \"stpack --help\".");
  EXPECT_FALSE(std::filesystem::exists(Temp(u"out.stp")));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, StpackUsage,
    ::testing::Values(
        UsageCase{"noCommand", {}, "no command given"},
        UsageCase{"unknownCommand", {u"unpack", u"x"}, "unknown command \"unpack\""},
        UsageCase{"unknownGlobalOption", {u"--verbose", u"list", u"x"}, "unknown option \"--verbose\""},
        UsageCase{"optionOfAnotherCommand", {u"verify", u"x", u"--tsv"}, "unknown option \"--tsv\""},
        UsageCase{"missingOutput", {u"pack", u"SRC"}, "pack needs -o PACKAGE"},
        UsageCase{"missingValue", {u"pack", u"SRC", u"-o"}, "--output needs a value"},
        UsageCase{"levelTooHigh",
                  {u"pack", u"SRC", u"-o", u"OUT", u"--level", u"10"},
                  "--level needs a whole number from 0 to 9, not \"10\""},
        UsageCase{"levelNotNumber", {u"pack", u"SRC", u"-o", u"OUT", u"--level=high"}, "--level needs a whole number"},
        UsageCase{"noJobs", {u"pack", u"SRC", u"-o", u"OUT", u"--jobs", u"0"}, "--jobs needs a whole number"},
        UsageCase{
            "unknownCipher", {u"pack", u"SRC", u"-o", u"OUT", u"--cipher", u"Enigma"}, "unknown cipher \"Enigma\""},
        UsageCase{"unknownHash", {u"pack", u"SRC", u"-o", u"OUT", u"--hash", u"CRC32"}, "unknown hash \"CRC32\""},
        UsageCase{
            "flagWithValue", {u"pack", u"SRC", u"-o", u"OUT", u"--reproducible=yes"}, "--reproducible takes no value"},
        UsageCase{"tooFewArguments", {u"extract", u"x.stp"}, "extract takes 2 argument(s), 1 given"},
        UsageCase{"tooManyArguments", {u"list", u"a.stp", u"b.stp"}, "list takes 1 argument(s), 2 given"},
        UsageCase{"badCodePage", {u"--codepage", u"cp936", u"list", u"x"}, "--codepage needs a whole number"},
        UsageCase{"codePageZero", {u"list", u"x", u"--codepage=0"}, "--codepage needs a whole number"}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST_F(StpackTest, MissingPackageFailsWithTheOpenError) {
  const std::u16string missing = Text(Temp(u"missing.stp"));
  for (const auto& command : std::vector<std::vector<std::u16string>>{
           {u"list", missing}, {u"verify", missing}, {u"extract", missing, Text(Temp(u"dest"))}}) {
    const ToolResult result = Expect(1, command);
    EXPECT_EQ(result.LastErrorLine().rfind("Cannot open file \"" + ToUtf8(missing) + "\". ", 0), 0u) << result.err;
    // The message is the very last line: no blank line or stray carriage return after it.
    const std::string last = result.LastErrorLine();
    ASSERT_GE(result.err.size(), last.size() + 1);
    EXPECT_EQ(result.err.substr(result.err.size() - last.size() - 1), last + "\n");
    EXPECT_NE(last.back(), ' ');
  }
  EXPECT_FALSE(std::filesystem::exists(Temp(u"dest") / "anything"));
}

TEST_F(StpackTest, EmptySourceFolderIsAFailure) {
  std::filesystem::create_directories(Temp(u"empty"));
  const ToolResult result = Expect(1, {u"pack", Text(Temp(u"empty")), u"-o", Text(Temp(u"out.stp"))});
  EXPECT_EQ(result.LastErrorLine(), "there are no files below " + Quoted(Text(Temp(u"empty"))));
  EXPECT_FALSE(std::filesystem::exists(Temp(u"out.stp")));

  WriteFileBytes(Temp(u"file.txt"), "not a folder");
  EXPECT_EQ(Expect(1, {u"pack", Text(Temp(u"file.txt")), u"-o", Text(Temp(u"out.stp"))}).LastErrorLine(),
            Quoted(Text(Temp(u"file.txt"))) + " is not a folder");
}

TEST_F(StpackTest, FileThatIsNoPackageIsAFailure) {
  // 100 bytes of "A": the marker bytes select the last layout, whose length field is too large.
  WriteFileBytes(Temp(u"plain.txt"), std::string(100, 'A'));
  for (const char16_t* command : {u"list", u"verify"}) {
    const ToolResult result = Expect(1, {command, Text(Temp(u"plain.txt"))});
    EXPECT_EQ(result.LastErrorLine(), Quoted(Text(Temp(u"plain.txt"))) + " holds no file table");
  }
}

#ifndef _WIN32
TEST_F(StpackTest, ProgressBarOnlyOnATerminal) {
  WriteFileBytes(Temp(u"src") / "a.txt", std::string(100000, 'a'));
  WriteFileBytes(Temp(u"src") / "b.txt", std::string(300000, 'b'));
  const ToolResult packed = RunToolWithTerminal({u"pack", Text(Temp(u"src")), u"-o", Text(Temp(u"p.stp"))});
  EXPECT_EQ(packed.exitCode, 0) << packed.err;
  EXPECT_NE(packed.err.find("\rPacking ["), std::string::npos) << packed.err;
  EXPECT_NE(packed.err.find("] 100%"), std::string::npos) << packed.err;

  const ToolResult extracted = RunToolWithTerminal({u"extract", Text(Temp(u"p.stp")), Text(Temp(u"dest"))});
  EXPECT_EQ(extracted.exitCode, 0) << extracted.err;
  // b.txt is 3/4 of the bytes and comes second: the bar shows 25% and then 100%.
  const std::string quarter = "\rExtracting [##########                              ]  25%";
  const std::string full = "\rExtracting [########################################] 100%";
  EXPECT_NE(extracted.err.find(quarter), std::string::npos) << extracted.err;
  EXPECT_NE(extracted.err.find(full), std::string::npos) << extracted.err;

  const ToolResult listed = RunToolWithTerminal({u"list", Text(Temp(u"p.stp"))});
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_EQ(listed.err, "") << "list draws no bar";
  // With standard error in a file, no bar at all (the other tests check that stderr stays empty).
  EXPECT_EQ(Expect(0, {u"extract", Text(Temp(u"p.stp")), Text(Temp(u"dest2"))}).err, "");
}

// Output that cannot be written is a failure with its reason, never a success over a missing
// listing: every command that prints, with standard output on a full file system.
TEST_F(StpackTest, OutputToAFullDiskFails) {
  WriteFileBytes(Temp(u"src") / "a.txt", "a");
  ASSERT_EQ(RunTool({u"pack", Text(Temp(u"src")), u"-o", Text(Temp(u"p.stp"))}).exitCode, 0);
  for (const auto& command : std::vector<std::vector<std::u16string>>{{u"list", Text(Temp(u"p.stp")), u"--tsv"},
                                                                      {u"list", Text(Temp(u"p.stp"))},
                                                                      {u"verify", Text(Temp(u"p.stp"))},
                                                                      {u"--help"}}) {
    const ToolResult result = RunToolWithStdout(command, "/dev/full");
    EXPECT_EQ(result.exitCode, 1) << ToUtf8(command.front());
    EXPECT_EQ(result.LastErrorLine(), "Cannot write to standard output. No space left on device");
  }
}
#endif

}  // namespace
}  // namespace setup::testing_support
