// The language rules shared by the wizard and the uninstaller.
#include <gtest/gtest.h>

#include "config/Language.h"

namespace setup {
namespace {

struct ForcingCase {
  const char16_t* shortName;
  bool forcesEnglish;
};

class ForcesEnglishTest : public testing::TestWithParam<ForcingCase> {};

TEST_P(ForcesEnglishTest, OnlyTheExactSiblingNames) {
  EXPECT_EQ(ForcesEnglish(GetParam().shortName), GetParam().forcesEnglish);
}

INSTANTIATE_TEST_SUITE_P(Names, ForcesEnglishTest,
                         testing::Values(ForcingCase{u"Quorvel", true}, ForcingCase{u"Sindrel", true},
                                         ForcingCase{u"quorvel", false}, ForcingCase{u"SINDREL", false},
                                         ForcingCase{u"Quorvel ", false}, ForcingCase{u"Glyphor", false},
                                         ForcingCase{u"", false}));

}  // namespace
}  // namespace setup
