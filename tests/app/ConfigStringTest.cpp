// Configuration strings come from the program's own string table: at most 1023 characters, and an
// id that is not there reads as empty text.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "config/Global.h"

namespace setup {
namespace {

// The ten letters the test's string table repeats, `count` characters of them.
std::u16string Pattern(std::size_t count) {
  std::u16string text;
  while (text.size() < count) text += u"abcdefghij";
  text.resize(count);
  return text;
}

struct ConfigCase {
  const char* name;
  unsigned id;
  std::u16string expected;
};

class ConfigStringTest : public testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigStringTest, ReadsTheEntry) {
  const ConfigCase& c = GetParam();
  const std::u16string text = Global::LoadConfigString(c.id);
  EXPECT_EQ(text.size(), c.expected.size());
  EXPECT_EQ(ToUtf8(text), ToUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ConfigStringTest,
    testing::Values(ConfigCase{"LongerThanTheLimitIsCut", 1001, Pattern(1023)},
                    ConfigCase{"AtTheLimitIsWhole", 1002, Pattern(1023)}, ConfigCase{"Short", 1004, u"Velmora Glyphor"},
                    ConfigCase{"Chinese", 1005, u"澜川绘影"}, ConfigCase{"AbsentBetweenPresentIds", 1003, u""},
                    ConfigCase{"AbsentNeverRead", 1006, u""}, ConfigCase{"AbsentAfterTheLast", 1012, u""}),
    [](const testing::TestParamInfo<ConfigCase>& param) { return param.param.name; });

TEST(LanguageIndex, OnlyCodePage936IsChinese) {
  EXPECT_EQ(Global::LanguageIndexForCodePage(936), 0);
  for (unsigned codePage : {1252u, 950u, 932u, 65001u, 0u})
    EXPECT_EQ(Global::LanguageIndexForCodePage(codePage), 2) << codePage;
}

}  // namespace
}  // namespace setup
