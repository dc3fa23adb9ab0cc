#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/Text.h"

namespace setup {
namespace {

TEST(Utf8, RoundTripsAcrossPlanes) {
  const std::u16string text = u"Glyphor \u6F9C\u5DDD \U0001F600 \u00E9";
  EXPECT_EQ(ToUtf8(text), "Glyphor \xE6\xBE\x9C\xE5\xB7\x9D \xF0\x9F\x98\x80 \xC3\xA9");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(FromUtf8(std::string("a\xFF") + 'b'), u"a\uFFFDb");            // a byte that starts no sequence
  EXPECT_EQ(FromUtf8("a\xE6\xBE"), u"a\uFFFD");                            // cut short at the end
  EXPECT_EQ(FromUtf8("\xC0\x80"), u"\uFFFD");                              // overlong NUL
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");  // lone surrogate
}

TEST(FormatText, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatText(u"Cannot assign a %s to a %s", {u"TRow", u"TDataTables"}),
            u"Cannot assign a TRow to a TDataTables");
  EXPECT_EQ(FormatText(u"100%% of %d", {u"7"}), u"100% of 7");
  EXPECT_EQ(FormatText(u"%s and %s", {u"one"}), u"one and %s");
}

TEST(IntToText, CoversTheWholeRange) {
  EXPECT_EQ(IntToText(0), u"0");
  EXPECT_EQ(IntToText(-42), u"-42");
  EXPECT_EQ(IntToText(INT64_MIN), u"-9223372036854775808");
}

TEST(Errors, CarryTheUserFacingTexts) {
  EXPECT_EQ(EListError::IndexOutOfBounds(3).Message(), u"List index out of bounds (3)");
  EXPECT_STREQ(EListError::IndexOutOfBounds(-1).what(), "List index out of bounds (-1)");
  EXPECT_EQ(EConvertError::InvalidInteger(u"12x").Message(), u"''12x'' is not a valid integer value");
  EXPECT_EQ(EConvertError::InvalidBoolean(u"yes").Message(), u"'yes' is not a valid boolean value");
  EXPECT_EQ(EReadError().Message(), u"Stream read error");
  EXPECT_EQ(EWriteError().Message(), u"Stream write error");
  EXPECT_EQ(EFOpenError(u"a.stp", u"Gone.").Message(), u"Cannot open file \"a.stp\". Gone.");
  EXPECT_EQ(EFCreateError(u"b", u"Busy.").Message(), u"Cannot create file \"b\". Busy.");
  EXPECT_EQ(EInOutError::CannotCreateDirectory().Message(), u"Unable to create directory");
}

}  // namespace
}  // namespace setup
