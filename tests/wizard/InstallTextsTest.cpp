// The install's own texts in both languages: the missing amount lands in its place.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "wizard/InstallTexts.h"

namespace setup {
namespace {

TEST(InstallTexts, NotEnoughSpaceNamesTheMissingAmount) {
  EXPECT_EQ(ToUtf8(NotEnoughSpaceText(InstallTexts(2), u"1.5 MB")),
            "There is not enough free space on the drive of the destination folder: 1.5 MB more is needed.\n\n"
            "Free some space or choose another folder.");
  EXPECT_EQ(ToUtf8(NotEnoughSpaceText(InstallTexts(0), u"12 KB")),
            "目标文件夹所在的磁盘空间不足：还需要 12 KB。\n\n请释放一些空间或选择其他文件夹。");
}

TEST(InstallTexts, DowngradeQuestionNamesBothVersions) {
  EXPECT_EQ(ToUtf8(DowngradeQuestionText(InstallTexts(2), u"3.0", u"2.0")),
            "Version 3.0 of this product is installed, which is newer than version 2.0 that this Setup installs.\n\n"
            "Do you want to replace it with the older version?");
  // A version holding a place marker is put in as it stands.
  EXPECT_EQ(ToUtf8(DowngradeQuestionText(InstallTexts(0), u"3.0 %2", u"2.0")),
            "已安装本产品的 3.0 %2 版，比本安装程序的 2.0 版更新。\n\n要用旧版本替换它吗？");
}

TEST(InstallTexts, LanguageZeroIsChineseEveryOtherEnglish) {
  EXPECT_EQ(ToUtf8(InstallTexts(0).cancelQuestion), "确定要取消安装吗？\n\n已安装的内容将被全部删除。");
  for (const std::int32_t language : {1, 2, 3})
    EXPECT_EQ(ToUtf8(InstallTexts(language).cancelQuestion),
              "Do you want to cancel the installation?\n\nEverything installed so far will be removed.");
}

}  // namespace
}  // namespace setup
