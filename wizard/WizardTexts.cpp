#include "wizard/WizardTexts.h"

namespace setup {

TWizardTexts EnglishTexts(const TProductTexts& product) {
  const std::u16string& n = product.displayName;
  const std::u16string& v = product.version;
  TWizardTexts texts;
  texts.captionBack = u"< &Back";
  texts.captionNext = u"&Next >";
  texts.captionCancel = u"Cancel";
  texts.captionAgree = u"I &Agree";
  texts.captionFinish = u"&Finish";
  texts.captionInstall = u"&Install";
  texts.msgDirCreateFailed = u"Destination folder can't be created, need to select another folder.";
  texts.msgExtractFailed =
      u"An error occurred extracting files to the destination folder.\n\nWhether you're running an older version of "
      u"this software? If yes, please close it and then click Install.";
  texts.browsePrompt = u"Select or create a new folder:";
  texts.freeSpacePrefix = u"Space available: ";

  texts.formCaption = u"Setup - " + n;
  texts.welcome = u"Welcome to the " + n + u" " + v + u" Setup Wizard";
  texts.willInstall =
      u"This will install " + n + u" " + v + u" on your computer.\n\nClick Next to continue, or Cancel to exit Setup.";
  texts.setupFolder = u"Setup will install " + n + u" " + v +
                      u" into the following folder.\n\nTo continue, click Next. If you would like to select a "
                      u"different folder, click Browse.";
  texts.needSize = u"Space required: " + product.requiredSpace;
  texts.complete = u"Completing the " + n + u" Setup Wizard";
  texts.restartNote = u"Some files were in use. Restart your computer to finish installing " + n + u".";

  texts.license = u"License Agreement";
  // The wording is the product's own, spelling included.
  texts.licenseTip = u"Please read the following important infomation before continuing.";
  texts.agreement =
      u"If you accept the terms of the agreement, click I Agree to continue. You must accept the agreement to "
      u"install " +
      n + u".";
  texts.folder = u"Select Destination Location";
  texts.folderTip = u"Where should " + n + u" be installed?";
  texts.folderGroup = u"Destination Folder";
  texts.browse = u"&Browse...";
  texts.desktopIcon = u"Create a desktop icon";
  texts.quickLaunchIcon = u"Create a Quick Launch icon";
  texts.closeNote =
      u"Setup has finished installing " + n + u" " + v + u" on your computer.\n\nClick Finish to close this wizard.";
  texts.launch = u"Launch " + n;
  return texts;
}

TWizardTexts ChineseTexts(const TProductTexts& product) {
  const std::u16string& n = product.displayName;
  const std::u16string& v = product.version;
  TWizardTexts texts;
  texts.captionBack = u"上一步";
  texts.captionNext = u"下一步";
  texts.captionCancel = u"取 消";
  texts.captionAgree = u"我同意";
  texts.captionFinish = u"完 成";
  texts.captionInstall = u"安 装";
  texts.msgDirCreateFailed = u"无法创建目标文件夹，请重新指定文件夹路径。";
  texts.msgExtractFailed =
      u"提取文件到目标文件夹时发生错误。\n\n您是否正在运行这个软件的旧版本？如果是，请先关闭它，然后再次点击“安装”。";
  texts.browsePrompt = u"选择或新建文件夹：";
  texts.freeSpacePrefix = u"剩余空间: ";

  texts.formCaption = u"安装向导 - " + n;
  texts.welcome = u"欢迎使用 " + n + u" V" + v + u" 安装\n向导";
  texts.willInstall = u"此向导将引导您完成安装过程。\n\n单击 [下一步] 继续，单击 [取消] 退出安装。";
  texts.setupFolder = u"安装程序将安装“" + n + u" V" + v +
                      u"”到下列文件夹中。\n\n如需安装到其它的文件夹，请直接修改或单击 [浏览] 选择另一个文件夹。";
  texts.needSize = u"所需空间: " + product.requiredSpace;
  texts.complete = n + u" V" + v + u" 安装成功。";
  texts.restartNote = u"部分文件正在使用中，请重新启动计算机以完成 " + n + u" 的安装。";
  return texts;
}

}  // namespace setup
