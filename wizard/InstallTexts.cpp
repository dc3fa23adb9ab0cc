#include "wizard/InstallTexts.h"

#include "base/Text.h"

namespace setup {

namespace {

TInstallTexts English() {
  return {
      u"Do you want to cancel the installation?\n\nEverything installed so far will be removed.",
      u"There is not enough free space on the drive of the destination folder: %s more is needed.\n\n"
      u"Free some space or choose another folder.",
      u"File:",
      u"The setup package is damaged. Please download the setup program again.",
      u"The file could not be written.",
      u"Setup.exe [/S [/ALLOWDOWNGRADE] [/D=folder]] [/LOG=file]\n\n"
      u"/S\tinstall without asking anything\n"
      u"/ALLOWDOWNGRADE\treplace a newer installed version all the same\n"
      u"/D=folder\tthe destination folder; last, may hold blanks\n"
      u"/LOG=file\twrite every step to this file (UTF-8)\n"
      u"/?\tshow this text\n\n"
      u"Exit codes: 0 installed, 1 bad command line, 2 the product is running, 3 unusable "
      u"destination, 4 not enough space, 5 damaged package, 6 write failure, 1602 cancelled, "
      u"1618 another install of this product is running, 1638 a newer version is installed, 3010 installed, "
      u"restart needed.",
      u"Version %s of this product is installed, which is newer than version %s that this Setup installs.\n\n"
      u"Do you want to replace it with the older version?",
  };
}

TInstallTexts Chinese() {
  return {
      u"确定要取消安装吗？\n\n已安装的内容将被全部删除。",
      u"目标文件夹所在的磁盘空间不足：还需要 %s。\n\n请释放一些空间或选择其他文件夹。",
      u"文件：",
      u"安装包已损坏。请重新下载安装程序。",
      u"无法写入该文件。",
      u"Setup.exe [/S [/ALLOWDOWNGRADE] [/D=文件夹]] [/LOG=文件]\n\n"
      u"/S\t静默安装，不提出任何问题\n"
      u"/ALLOWDOWNGRADE\t即使已安装更新的版本也照样替换\n"
      u"/D=文件夹\t安装到该文件夹；须放在最后，可以包含空格\n"
      u"/LOG=文件\t把每一步写入该文件（UTF-8）\n"
      u"/?\t显示本说明\n\n"
      u"退出代码：0 已安装，1 命令行错误，2 产品正在运行，3 目标文件夹不可用，4 磁盘空间不足，"
      u"5 安装包已损坏，6 写入失败，1602 已取消，1618 本产品的另一个安装正在进行，1638 已安装更新的版本，"
      u"3010 已安装，需要重新启动。",
      u"已安装本产品的 %s 版，比本安装程序的 %s 版更新。\n\n要用旧版本替换它吗？",
  };
}

}  // namespace

TInstallTexts InstallTexts(std::int32_t languageIndex) { return languageIndex == 0 ? Chinese() : English(); }

std::u16string NotEnoughSpaceText(const TInstallTexts& texts, const std::u16string& missing) {
  std::u16string text = texts.notEnoughSpace;
  const std::size_t at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, missing);
  return text;
}

std::u16string DowngradeQuestionText(const TInstallTexts& texts, const std::u16string& installed,
                                     const std::u16string& carried) {
  // One pass: a version that holds a place marker is put in as it stands.
  return FormatText(texts.downgradeQuestion, {installed, carried});
}

}  // namespace setup
