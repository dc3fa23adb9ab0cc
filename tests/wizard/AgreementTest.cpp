// The agreement's line structure in both languages and both licence variants.
#include <gtest/gtest.h>

#include <map>

#include "wizard/Agreement.h"

namespace setup {
namespace {

const std::u16string kName = u"Velmora Glyphor";

struct AgreementCase {
  const char* name;
  std::vector<std::u16string> (*make)(const std::u16string&, bool);
  bool isFreeware;
  std::size_t lineCount;
  // Lines (1-based) with exactly this text.
  std::map<std::size_t, std::u16string> fixedLines;
  // Lines (1-based) that begin with this text and go on with a paragraph.
  std::map<std::size_t, std::u16string> paragraphStarts;
};

class AgreementTest : public testing::TestWithParam<AgreementCase> {};

const std::map<std::size_t, std::u16string> kEnglishFixed = {{1, u"End User License Agreement"},
                                                             {2, u""},
                                                             {4, u""},
                                                             {5, u"1. Disclaimer of Warranty"},
                                                             {6, u""},
                                                             {8, u""},
                                                             {10, u""},
                                                             {11, u"2. License"},
                                                             {12, u""},
                                                             {14, u""},
                                                             {16, u""},
                                                             {17, u"3. Restrictions on Use"},
                                                             {18, u""},
                                                             {20, u""},
                                                             {21, u""}};
const std::map<std::size_t, std::u16string> kEnglishStarts = {{7, kName + u" "}};

const std::map<std::size_t, std::u16string> kChineseFixed16 = {
    {1, kName + u" 用户许可协议"}, {2, u""}, {4, u""}, {6, u""}, {8, u""}, {10, u""}, {12, u""}, {14, u""}, {15, u""}};
const std::map<std::size_t, std::u16string> kChineseFixed18 = {{1, kName + u" 用户许可协议"},
                                                               {2, u""},
                                                               {4, u""},
                                                               {6, u""},
                                                               {8, u""},
                                                               {10, u""},
                                                               {12, u""},
                                                               {14, u""},
                                                               {16, u""},
                                                               {17, u""}};
const std::map<std::size_t, std::u16string> kChineseStarts16 = {
    {5, u"1. " + kName}, {7, u"2. "}, {9, u"3. "}, {11, u"4. "}, {13, u"5. "}};
const std::map<std::size_t, std::u16string> kChineseStarts18 = {{5, u"1. " + kName}, {7, u"2. "},  {9, u"3. "},
                                                                {11, u"4. "},        {13, u"5. "}, {15, u"6. "}};

TEST_P(AgreementTest, HasTheLineStructure) {
  const AgreementCase& c = GetParam();
  const std::vector<std::u16string> lines = c.make(kName, c.isFreeware);
  ASSERT_EQ(lines.size(), c.lineCount);
  for (const auto& [number, text] : c.fixedLines) EXPECT_EQ(lines[number - 1], text) << "line " << number;
  for (const auto& [number, start] : c.paragraphStarts) {
    EXPECT_EQ(lines[number - 1].rfind(start, 0), 0u) << "line " << number;
    EXPECT_GT(lines[number - 1].size(), start.size() + 10) << "line " << number;
  }
  // Every line not fixed to a text is a paragraph; the last is the rights notice.
  for (std::size_t number = 1; number <= lines.size(); ++number) {
    if (!c.fixedLines.contains(number)) {
      EXPECT_FALSE(lines[number - 1].empty()) << "line " << number;
    }
  }
  EXPECT_EQ(lines.back().find(kName), std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, AgreementTest,
    testing::Values(AgreementCase{"EnglishFreeware", &EnglishAgreement, true, 22, kEnglishFixed, kEnglishStarts},
                    AgreementCase{"EnglishCommercial", &EnglishAgreement, false, 22, kEnglishFixed, kEnglishStarts},
                    AgreementCase{"ChineseFreeware", &ChineseAgreement, true, 16, kChineseFixed16, kChineseStarts16},
                    AgreementCase{"ChineseCommercial", &ChineseAgreement, false, 18, kChineseFixed18,
                                  kChineseStarts18}),
    [](const testing::TestParamInfo<AgreementCase>& param) { return param.param.name; });

// The opening sentence names the product with one blank before it and the full stop after it.
TEST(Agreement, EnglishOpeningNamesTheProductAtItsEnd) {
  const std::u16string line = EnglishAgreement(kName, true)[2];
  const std::u16string ending = u" " + kName + u".";
  ASSERT_GE(line.size(), ending.size());
  EXPECT_EQ(line.substr(line.size() - ending.size()), ending);
  EXPECT_NE(line[line.size() - ending.size() - 1], u' ');
}

// The freeware flag changes only the two licence paragraphs in English.
TEST(Agreement, EnglishVariantsDifferOnlyInTheLicenceClause) {
  const auto freeware = EnglishAgreement(kName, true);
  const auto commercial = EnglishAgreement(kName, false);
  for (std::size_t i = 0; i < freeware.size(); ++i) {
    if (i == 12 || i == 14) {
      EXPECT_NE(freeware[i], commercial[i]) << "line " << i + 1;
    } else {
      EXPECT_EQ(freeware[i], commercial[i]) << "line " << i + 1;
    }
  }
  EXPECT_NE(freeware[12].find(u"freeware"), std::u16string::npos);
}

// Clause 3 says the software is free only for freeware; otherwise it is the same clause.
TEST(Agreement, ChineseClauseThreeDropsOnlyTheWordsThatItIsFree) {
  const std::u16string freeware = ChineseAgreement(kName, true)[8];
  const std::u16string commercial = ChineseAgreement(kName, false)[8];
  EXPECT_NE(freeware.find(u"免费"), std::u16string::npos);
  EXPECT_EQ(commercial.find(u"免费"), std::u16string::npos);
  EXPECT_NE(commercial, freeware);
  // The termination clause is clause 5 for freeware and clause 6 after the commercial terms.
  EXPECT_EQ(ChineseAgreement(kName, true)[12].substr(3), ChineseAgreement(kName, false)[14].substr(3));
}

}  // namespace
}  // namespace setup
