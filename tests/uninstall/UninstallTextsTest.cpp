// The uninstaller's texts in both languages, and the language rule they follow.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "uninstall/UninstallTexts.h"

namespace setup {
namespace {

struct TextCase {
  const char* name;
  std::function<std::u16string()> make;
  std::u16string expected;
};

class UninstallTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(UninstallTextTest, IsTheExactText) { EXPECT_EQ(GetParam().make(), GetParam().expected); }

const std::vector<std::u16string> kTwoFiles = {u"C:\\P\\a.exe", u"C:\\P\\Data\\b.dat"};

INSTANTIATE_TEST_SUITE_P(
    Texts, UninstallTextTest,
    testing::Values(TextCase{"ConfirmEnglish", [] { return ConfirmRemovalText(2, u"Velmora Glyphor"); },
                             u"Are you sure you want to completely remove Velmora Glyphor and all of its components?"},
                    TextCase{"ConfirmChinese", [] { return ConfirmRemovalText(0, u"澜川绘影"); },
                             u"确实要完全移除 澜川绘影 及其所有组件吗？"},
                    // Every index but 0 is English.
                    TextCase{"ConfirmOtherIndex", [] { return ConfirmRemovalText(1, u"X"); },
                             u"Are you sure you want to completely remove X and all of its components?"},
                    TextCase{"RemovedEnglish", [] { return RemovedText(2, u"Velmora Glyphor"); },
                             u"Velmora Glyphor was successfully removed from your computer."},
                    TextCase{"RemovedChinese", [] { return RemovedText(0, u"澜川绘影"); },
                             u"澜川绘影 已成功地从您的计算机中移除。"},
                    TextCase{
                        "NotRemovedEnglish", [] { return NotRemovedText(2, u"Velmora Glyphor", kTwoFiles); },
                        u"Velmora Glyphor could not be removed completely. These files could not be deleted:\n\n"
                        u"C:\\P\\a.exe\nC:\\P\\Data\\b.dat\n\nClose the programs that use them and run the uninstaller "
                        u"again."},
                    TextCase{"NotRemovedChinese", [] { return NotRemovedText(0, u"澜川绘影", {u"C:\\P\\a.exe"}); },
                             u"澜川绘影 未能完全移除。以下文件无法删除：\n\nC:\\P\\a.exe\n\n"
                             u"请关闭正在使用这些文件的程序，然后再次运行卸载程序。"},
                    TextCase{"DamagedEnglish", [] { return DamagedUninstallerText(2, u"why"); },
                             u"The uninstaller is damaged; nothing was removed.\n\nwhy"},
                    TextCase{"DamagedChinese", [] { return DamagedUninstallerText(0, u"why"); },
                             u"卸载程序已损坏，未移除任何文件。\n\nwhy"}),
    [](const testing::TestParamInfo<TextCase>& param) { return param.param.name; });

struct LanguageCase {
  const char* name;
  std::int32_t startup;
  std::u16string shortName;
  std::int32_t expected;
};

class UninstallLanguageTest : public testing::TestWithParam<LanguageCase> {};

TEST_P(UninstallLanguageTest, FollowsTheWizardsRule) {
  EXPECT_EQ(UninstallLanguageIndex(GetParam().startup, GetParam().shortName), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Products, UninstallLanguageTest,
                         testing::Values(LanguageCase{"ChineseStaysChinese", 0, u"Glyphor", 0},
                                         LanguageCase{"EnglishStaysEnglish", 2, u"Glyphor", 2},
                                         LanguageCase{"QuorvelForcesEnglish", 0, u"Quorvel", 2},
                                         LanguageCase{"SindrelForcesEnglish", 0, u"Sindrel", 2},
                                         LanguageCase{"LowerCaseDoesNotForce", 0, u"quorvel", 0},
                                         LanguageCase{"LongerNameDoesNotForce", 0, u"Sindrel2", 0},
                                         LanguageCase{"ForcedOnEnglishStaysEnglish", 2, u"Quorvel", 2}),
                         [](const testing::TestParamInfo<LanguageCase>& param) { return param.param.name; });

}  // namespace
}  // namespace setup
