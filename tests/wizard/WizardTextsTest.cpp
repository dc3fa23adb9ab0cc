// The wizard's texts of both languages for one product, checked word for word.
#include <gtest/gtest.h>

#include "wizard/WizardTexts.h"

namespace setup {
namespace {

const TProductTexts kProduct{u"Velmora Glyphor", u"2.30", u"6 MB"};

struct TextCase {
  const char* name;
  std::u16string TWizardTexts::*field;
  const char16_t* english;
  const char16_t* chinese;
};

class WizardTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(WizardTextTest, MatchesTheCatalogue) {
  const TextCase& c = GetParam();
  EXPECT_EQ(EnglishTexts(kProduct).*c.field, c.english);
  EXPECT_EQ(ChineseTexts(kProduct).*c.field, c.chinese);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, WizardTextTest,
    testing::Values(
        TextCase{"Back", &TWizardTexts::captionBack, u"< &Back", u"上一步"},
        TextCase{"Next", &TWizardTexts::captionNext, u"&Next >", u"下一步"},
        TextCase{"Cancel", &TWizardTexts::captionCancel, u"Cancel", u"取 消"},
        TextCase{"Agree", &TWizardTexts::captionAgree, u"I &Agree", u"我同意"},
        TextCase{"Finish", &TWizardTexts::captionFinish, u"&Finish", u"完 成"},
        TextCase{"Install", &TWizardTexts::captionInstall, u"&Install", u"安 装"},
        TextCase{"DirCreateFailed", &TWizardTexts::msgDirCreateFailed,
                 u"Destination folder can't be created, need to select another folder.",
                 u"无法创建目标文件夹，请重新指定文件夹路径。"},
        TextCase{"ExtractFailed", &TWizardTexts::msgExtractFailed,
                 u"An error occurred extracting files to the destination folder.\n\nWhether you're running an older "
                 u"version of this software? If yes, please close it and then click Install.",
                 u"提取文件到目标文件夹时发生错误。\n\n您是否正在运行这个软件的旧版本？如果是，请先关闭它，然后再次点击"
                 u"“安装”。"},
        TextCase{"BrowsePrompt", &TWizardTexts::browsePrompt, u"Select or create a new folder:", u"选择或新建文件夹："},
        TextCase{"FreeSpacePrefix", &TWizardTexts::freeSpacePrefix, u"Space available: ", u"剩余空间: "},
        TextCase{"FormCaption", &TWizardTexts::formCaption, u"Setup - Velmora Glyphor", u"安装向导 - Velmora Glyphor"},
        TextCase{"Welcome", &TWizardTexts::welcome, u"Welcome to the Velmora Glyphor 2.30 Setup Wizard",
                 u"欢迎使用 Velmora Glyphor V2.30 安装\n向导"},
        TextCase{"WillInstall", &TWizardTexts::willInstall,
                 u"This will install Velmora Glyphor 2.30 on your computer.\n\nClick Next to continue, or Cancel to "
                 u"exit Setup.",
                 u"此向导将引导您完成安装过程。\n\n单击 [下一步] 继续，单击 [取消] 退出安装。"},
        TextCase{"SetupFolder", &TWizardTexts::setupFolder,
                 u"Setup will install Velmora Glyphor 2.30 into the following folder.\n\nTo continue, click Next. If "
                 u"you would like to select a different folder, click Browse.",
                 u"安装程序将安装“Velmora Glyphor V2.30”到下列文件夹中。\n\n如需安装到其它的文件夹，请直接修改或单击 "
                 u"[浏览] 选择另一个文件夹。"},
        TextCase{"NeedSize", &TWizardTexts::needSize, u"Space required: 6 MB", u"所需空间: 6 MB"},
        TextCase{"Complete", &TWizardTexts::complete, u"Completing the Velmora Glyphor Setup Wizard",
                 u"Velmora Glyphor V2.30 安装成功。"}),
    [](const testing::TestParamInfo<TextCase>& param) { return param.param.name; });

struct EnglishOnlyCase {
  const char* name;
  std::optional<std::u16string> TWizardTexts::*field;
  const char16_t* english;
};

class EnglishOnlyTextTest : public testing::TestWithParam<EnglishOnlyCase> {};

// English replaces these texts; Chinese keeps the wording designed into the form.
TEST_P(EnglishOnlyTextTest, EnglishReplacesChineseKeepsTheDesign) {
  const EnglishOnlyCase& c = GetParam();
  EXPECT_EQ(EnglishTexts(kProduct).*c.field, std::u16string(c.english));
  EXPECT_FALSE((ChineseTexts(kProduct).*c.field).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, EnglishOnlyTextTest,
    testing::Values(
        EnglishOnlyCase{"License", &TWizardTexts::license, u"License Agreement"},
        EnglishOnlyCase{"LicenseTip", &TWizardTexts::licenseTip,
                        u"Please read the following important infomation before continuing."},
        EnglishOnlyCase{"Agreement", &TWizardTexts::agreement,
                        u"If you accept the terms of the agreement, click I Agree to continue. You must accept the "
                        u"agreement to install Velmora Glyphor."},
        EnglishOnlyCase{"Folder", &TWizardTexts::folder, u"Select Destination Location"},
        EnglishOnlyCase{"FolderTip", &TWizardTexts::folderTip, u"Where should Velmora Glyphor be installed?"},
        EnglishOnlyCase{"FolderGroup", &TWizardTexts::folderGroup, u"Destination Folder"},
        EnglishOnlyCase{"Browse", &TWizardTexts::browse, u"&Browse..."},
        EnglishOnlyCase{"DesktopIcon", &TWizardTexts::desktopIcon, u"Create a desktop icon"},
        EnglishOnlyCase{"QuickLaunchIcon", &TWizardTexts::quickLaunchIcon, u"Create a Quick Launch icon"},
        EnglishOnlyCase{"CloseNote", &TWizardTexts::closeNote,
                        u"Setup has finished installing Velmora Glyphor 2.30 on your computer.\n\nClick Finish to "
                        u"close this wizard."},
        EnglishOnlyCase{"Launch", &TWizardTexts::launch, u"Launch Velmora Glyphor"}),
    [](const testing::TestParamInfo<EnglishOnlyCase>& param) { return param.param.name; });

// Missing configuration strings leave nothing after the letter V or the blank.
TEST(WizardTexts, EmptyVersionAndSpaceShowAsNothing) {
  const TProductTexts empty{u"Glyphor", u"", u""};
  EXPECT_EQ(EnglishTexts(empty).welcome, u"Welcome to the Glyphor  Setup Wizard");
  EXPECT_EQ(ChineseTexts(empty).complete, u"Glyphor V 安装成功。");
  EXPECT_EQ(EnglishTexts(empty).needSize, u"Space required: ");
}

TEST(WizardTexts, DesignedTextsAreTheChineseWording) {
  EXPECT_EQ(std::u16string(DesignedText::kLicense), u"在安装之前，请阅读许可协议");
  EXPECT_EQ(std::u16string(DesignedText::kAgreement), u"如果您接受协议中的条款，请单击 [我同意] 继续安装。");
  EXPECT_EQ(std::u16string(DesignedText::kFolder), u"选择安装位置并设置选项");
  EXPECT_EQ(std::u16string(DesignedText::kFolderGroup), u"目标文件夹");
  EXPECT_EQ(std::u16string(DesignedText::kBrowse), u"浏览(&S)...");
  EXPECT_EQ(std::u16string(DesignedText::kDesktopIcon), u"创建桌面快捷方式");
  EXPECT_EQ(std::u16string(DesignedText::kQuickLaunchIcon), u"创建快速启动栏快捷方式");
  EXPECT_EQ(std::u16string(DesignedText::kLaunch), u"立即运行软件");
}

}  // namespace
}  // namespace setup
