// The rules behind stpack manifest, in-process: which values YAML must quote, and which package
// identifiers the format accepts.
#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"
#include "tools/stpack/WingetManifest.h"
#include "tools/stpack/Yaml.h"

namespace setup::stpack {
namespace {

struct ScalarCase {
  const char* label;
  std::u16string value;
  std::u16string written;
};

class YamlScalarTest : public testing::TestWithParam<ScalarCase> {};

TEST_P(YamlScalarTest, QuotesWhatAReaderCouldTakeForSomethingElse) {
  EXPECT_EQ(YamlScalar(GetParam().value), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Values, YamlScalarTest,
    testing::Values(ScalarCase{"words", u"Velmora Glyphor", u"Velmora Glyphor"},
                    ScalarCase{"chinese", u"澜川绘影", u"澜川绘影"}, ScalarCase{"version_number", u"2.30", u"\"2.30\""},
                    ScalarCase{"integer", u"7", u"\"7\""}, ScalarCase{"boolean_word", u"Yes", u"\"Yes\""},
                    ScalarCase{"null_word", u"NULL", u"\"NULL\""}, ScalarCase{"switch", u"/S", u"\"/S\""},
                    ScalarCase{"colon", u"a: b", u"\"a: b\""}, ScalarCase{"comment_mark", u"C #1", u"\"C #1\""},
                    ScalarCase{"quote_and_backslash", u"say \"C:\\\"", u"\"say \\\"C:\\\\\\\"\""},
                    ScalarCase{"tab", u"a\tb", u"\"a\\u0009b\""},
                    ScalarCase{"line_separator", u"a\u2028b", u"\"a\\u2028b\""},
                    ScalarCase{"trailing_blank", u"word ", u"\"word \""}, ScalarCase{"empty", u"", u"\"\""}),
    [](const auto& item) { return std::string(item.param.label); });

TEST(YamlText, NestsMappingsAndListItems) {
  YamlText yaml;
  yaml.Comment(u"head");
  yaml.Entry(u"A", u"one");
  yaml.Open(u"List");
  yaml.Item(u"x");
  yaml.OpenItem();
  yaml.Entry(u"Code", 3, u"why");
  yaml.Entry(u"Name", u"1.0");
  yaml.Close();
  yaml.Close();
  yaml.Entry(u"B", u"two");
  EXPECT_EQ(yaml.Text(), u"# head\nA: one\nList:\n  - x\n  - Code: 3  # why\n    Name: \"1.0\"\nB: two\n");
}

struct IdentifierCase {
  const char* label;
  std::u16string identifier;
  bool accepted;
};

class PackageIdentifierTest : public testing::TestWithParam<IdentifierCase> {};

TEST_P(PackageIdentifierTest, FollowsTheFormatsPattern) {
  EXPECT_EQ(PackageIdentifierProblem(GetParam().identifier).empty(), GetParam().accepted)
      << ToUtf8(PackageIdentifierProblem(GetParam().identifier));
}

INSTANTIATE_TEST_SUITE_P(
    Values, PackageIdentifierTest,
    testing::Values(IdentifierCase{"two_parts", u"VelmoraSoftware.Glyphor", true},
                    IdentifierCase{"eight_parts", u"a.b.c.d.e.f.g.h", true},
                    IdentifierCase{"nine_parts", u"a.b.c.d.e.f.g.h.i", false},
                    IdentifierCase{"one_part", u"Glyphor", false},
                    IdentifierCase{"part_of_32", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345.x", true},
                    IdentifierCase{"part_of_33", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456.x", false},
                    IdentifierCase{"chinese_part_of_32_characters", std::u16string(32, u'澜') + u".x", true},
                    IdentifierCase{"leading_dot", u".a.b", false}, IdentifierCase{"trailing_dot", u"a.b.", false},
                    IdentifierCase{"blank", u"a b.c", false}, IdentifierCase{"ideographic_space", u"a\u3000b.c", false},
                    IdentifierCase{"colon", u"a:b.c", false}, IdentifierCase{"pipe", u"a|b.c", false},
                    IdentifierCase{"control", u"a\x01.c", false},
                    IdentifierCase{"ampersand_and_dash", u"A&B-Soft.Pro_1", true}),
    [](const auto& item) { return std::string(item.param.label); });

TEST(IdentifierPart, DropsWhatAPartMayNotHold) {
  EXPECT_EQ(IdentifierPart(u"Velmora Software"), u"VelmoraSoftware");
  EXPECT_EQ(IdentifierPart(u"A.B: Soft <Works> \"x\" |/\\*?"), u"ABSoftWorksx");
  EXPECT_EQ(IdentifierPart(u"澜川 软件"), u"澜川软件");
}

}  // namespace
}  // namespace setup::stpack
