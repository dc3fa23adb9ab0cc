// The wizard's texts in its two languages, and the texts designed into the form. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The product values the texts name.
struct TProductTexts {
  std::u16string displayName;    // N
  std::u16string version;        // V
  std::u16string requiredSpace;  // S
};

// The texts the form shows before the language branch has run: the Chinese wording.
namespace DesignedText {
inline constexpr char16_t kLicense[] = u"在安装之前，请阅读许可协议";
inline constexpr char16_t kAgreement[] = u"如果您接受协议中的条款，请单击 [我同意] 继续安装。";
inline constexpr char16_t kFolder[] = u"选择安装位置并设置选项";
inline constexpr char16_t kFolderGroup[] = u"目标文件夹";
inline constexpr char16_t kBrowse[] = u"浏览(&S)...";
inline constexpr char16_t kDesktopIcon[] = u"创建桌面快捷方式";
inline constexpr char16_t kQuickLaunchIcon[] = u"创建快速启动栏快捷方式";
inline constexpr char16_t kLaunch[] = u"立即运行软件";
}  // namespace DesignedText

// Every text the language branch of the form's creation sets. An empty optional keeps the
// designed text of that control.
struct TWizardTexts {
  // Button texts and messages kept by the form for later use.
  std::u16string captionBack;
  std::u16string captionNext;
  std::u16string captionCancel;
  std::u16string captionAgree;
  std::u16string captionFinish;
  std::u16string captionInstall;
  std::u16string msgDirCreateFailed;
  std::u16string msgExtractFailed;
  std::u16string browsePrompt;
  std::u16string freeSpacePrefix;

  // Control texts that every language replaces.
  std::u16string formCaption;
  std::u16string welcome;
  std::u16string willInstall;
  std::u16string setupFolder;
  std::u16string needSize;
  std::u16string complete;
  // The finish page's extra line when files in use are replaced at the next restart.
  std::u16string restartNote;

  // Control texts that only English replaces.
  std::optional<std::u16string> license;
  std::optional<std::u16string> licenseTip;
  std::optional<std::u16string> agreement;
  std::optional<std::u16string> folder;
  std::optional<std::u16string> folderTip;
  std::optional<std::u16string> folderGroup;
  std::optional<std::u16string> browse;
  std::optional<std::u16string> desktopIcon;
  std::optional<std::u16string> quickLaunchIcon;
  std::optional<std::u16string> closeNote;
  std::optional<std::u16string> launch;
};

TWizardTexts EnglishTexts(const TProductTexts& product);
TWizardTexts ChineseTexts(const TProductTexts& product);

}  // namespace setup
