// The option parser, in-process: which tokens become options, values and positional arguments.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "base/Text.h"
#include "tools/stpack/Arguments.h"

namespace setup::stpack {
namespace {

constexpr std::array<OptionDefinition, 3> kOptions{{
    {u"--output", u"-o", true},
    {u"--level", u"", true},
    {u"--tsv", u"", false},
}};

struct ParseCase {
  const char* label;
  std::vector<std::u16string> tokens;
  std::vector<std::u16string> positionals;
  std::u16string output;  // value of --output, "(none)" when absent
  bool tsv;
};

class ParseArgumentsCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseArgumentsCases, SplitsTokens) {
  const ParsedArguments parsed = ParseArguments(GetParam().tokens, kOptions);
  EXPECT_EQ(parsed.Positionals(), GetParam().positionals);
  EXPECT_EQ(parsed.ValueOr(u"--output", u"(none)"), GetParam().output);
  EXPECT_EQ(parsed.Has(u"--tsv"), GetParam().tsv);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, ParseArgumentsCases,
    ::testing::Values(
        ParseCase{"positionalsOnly", {u"a", u"b"}, {u"a", u"b"}, u"(none)", false},
        ParseCase{"shortOption", {u"src", u"-o", u"x.stp"}, {u"src"}, u"x.stp", false},
        ParseCase{"longWithEquals", {u"--output=y=z.stp", u"src"}, {u"src"}, u"y=z.stp", false},
        ParseCase{"lastValueWins", {u"-o", u"1", u"--output", u"2"}, {}, u"2", false},
        ParseCase{"valueMayStartWithDash", {u"-o", u"-x"}, {}, u"-x", false},
        ParseCase{"emptyValue", {u"--output="}, {}, u"", false},
        ParseCase{"flag", {u"--tsv", u"p"}, {u"p"}, u"(none)", true},
        ParseCase{"loneDashIsPositional", {u"-"}, {u"-"}, u"(none)", false},
        ParseCase{"doubleDashEndsOptions", {u"--", u"--tsv", u"-o"}, {u"--tsv", u"-o"}, u"(none)", false},
        ParseCase{"chineseText", {u"\u6587\u4EF6", u"-o", u"\u5305.stp"}, {u"\u6587\u4EF6"}, u"\u5305.stp", false}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

struct BadCase {
  const char* label;
  std::vector<std::u16string> tokens;
  const char* message;
};

class ParseArgumentsErrors : public ::testing::TestWithParam<BadCase> {};

TEST_P(ParseArgumentsErrors, RaiseUsageErrors) {
  try {
    const ParsedArguments parsed = ParseArguments(GetParam().tokens, kOptions);
    (void)parsed.NumberOr(u"--level", 0, 9, 9);
    ADD_FAILURE() << "no usage error";
  } catch (const EUsageError& e) {
    EXPECT_EQ(e.what(), std::string(GetParam().message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, ParseArgumentsErrors,
    ::testing::Values(BadCase{"unknown", {u"--out"}, "unknown option \"--out\""},
                      BadCase{"unknownShort", {u"-x"}, "unknown option \"-x\""},
                      BadCase{"missingValue", {u"a", u"-o"}, "--output needs a value"},
                      BadCase{"flagValue", {u"--tsv=1"}, "--tsv takes no value"},
                      BadCase{"numberTooLarge",
                              {u"--level", u"99999999999999"},
                              "--level needs a whole number from 0 to 9, not \"99999999999999\""},
                      BadCase{"negative", {u"--level=-1"}, "--level needs a whole number from 0 to 9, not \"-1\""},
                      BadCase{"blank", {u"--level", u" 5"}, "--level needs a whole number from 0 to 9, not \" 5\""}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST(ParseArgumentsNumbers, InRangeAndAbsent) {
  const std::vector<std::u16string> tokens{u"--level", u"0"};
  EXPECT_EQ(ParseArguments(tokens, kOptions).NumberOr(u"--level", 0, 9, 9), 0);
  EXPECT_EQ(ParseArguments({}, kOptions).NumberOr(u"--level", 0, 9, 7), 7);
}

}  // namespace
}  // namespace setup::stpack
