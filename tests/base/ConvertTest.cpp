#include <gtest/gtest.h>

#include <optional>

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/Text.h"

namespace setup {
namespace {

struct IntCase {
  const char16_t* text;
  std::optional<std::int32_t> expected;
};

class TextToIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(TextToIntTest, Converts) {
  const IntCase& c = GetParam();
  EXPECT_EQ(TryTextToInt(c.text), c.expected) << ToUtf8(c.text);
  if (c.expected) {
    EXPECT_EQ(TextToInt(c.text), *c.expected);
  } else {
    try {
      TextToInt(c.text);
      ADD_FAILURE() << "no error for " << ToUtf8(c.text);
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), u"''" + std::u16string(c.text) + u"'' is not a valid integer value");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToIntTest,
    testing::Values(IntCase{u"0", 0}, IntCase{u"  12", 12}, IntCase{u"+7", 7}, IntCase{u"-2147483648", INT32_MIN},
                    IntCase{u"2147483647", INT32_MAX}, IntCase{u"2147483648", std::nullopt},
                    IntCase{u"-2147483649", std::nullopt}, IntCase{u"$1F", 31}, IntCase{u"x1f", 31},
                    IntCase{u"X10", 16}, IntCase{u"0x7fffffff", INT32_MAX}, IntCase{u"0XFFFFFFFF", -1},
                    IntCase{u"$100000000", std::nullopt}, IntCase{u"-$10", -16}, IntCase{u"12x", std::nullopt},
                    IntCase{u"12 ", std::nullopt}, IntCase{u"", std::nullopt}, IntCase{u"-", std::nullopt},
                    IntCase{u"$", std::nullopt}, IntCase{u"1.5", std::nullopt}, IntCase{u"\uFF11", std::nullopt}));

TEST(TextToBool, NumbersAndWords) {
  SetDecimalSeparator(u'.');
  for (const char16_t* t : {u"1", u"-1", u"7", u"0.5", u" 2 ", u"1e3", u"true", u"TRUE", u"True"}) {
    EXPECT_TRUE(TextToBool(t)) << ToUtf8(t);
  }
  for (const char16_t* t : {u"0", u"-0", u"0.0", u"False", u"false"}) {
    EXPECT_FALSE(TextToBool(t)) << ToUtf8(t);
  }
  for (const char16_t* t : {u"yes", u"", u"1,5", u"e3", u"1e", u"T"}) {
    try {
      TextToBool(t);
      ADD_FAILURE() << "no error for " << ToUtf8(t);
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), u"'" + std::u16string(t) + u"' is not a valid boolean value");
    }
  }
}

// The number's value as a double decides, without the double: the largest double and the
// smallest non-zero one are numbers, beyond them the text is too large (no number) or too small
// (zero); the limits are the halfway points of round-to-nearest.
TEST(TextToBool, MagnitudesAtTheLimitsOfADouble) {
  SetDecimalSeparator(u'.');
  struct Case {
    const char16_t* text;
    std::optional<bool> value;
  };
  for (const Case& c : {Case{u"1e308", true},
                        Case{u"1.7976931348623157e308", true},
                        Case{u"179769313486231580793728971405303415079.9e270", true},
                        Case{u"1.7976931348623159e308", std::nullopt},
                        Case{u"1e309", std::nullopt},
                        Case{u"-1e309", std::nullopt},
                        Case{u"0.00001e313", true},
                        Case{u"1e99999999999", std::nullopt},
                        Case{u"4.9e-324", true},
                        Case{u"2.48e-324", true},
                        Case{u"2.47e-324", false},
                        Case{u"2.470328229206232720882843964341106861825e-324", false},
                        Case{u"1e-400", false},
                        Case{u"-1e-400", false},
                        Case{u"1000e-327", false},
                        Case{u"10000e-327", true},
                        Case{u"0e99999", false},
                        Case{u"000.000", false},
                        Case{u"0.0001", true},
                        Case{u".5", true},
                        Case{u"5.", true},
                        Case{u"+0", false},
                        Case{u"1e+2", true},
                        Case{u"1e-2", true}}) {
    EXPECT_EQ(TryNumberTextToBool(c.text), c.value) << ToUtf8(c.text);
  }
  EXPECT_THROW(TextToBool(u"1e309"), EConvertError);
  EXPECT_FALSE(TextToBool(u"1e-400"));
}

TEST(TextToBool, FollowsTheDecimalSeparator) {
  SetDecimalSeparator(u',');
  EXPECT_TRUE(TextToBool(u"0,5"));
  EXPECT_THROW(TextToBool(u"0.5"), EConvertError);
  SetDecimalSeparator(u'.');
}

}  // namespace
}  // namespace setup
