#include "uninstall/UninstallTexts.h"

#include "config/Language.h"

namespace setup {

namespace {

constexpr std::int32_t kChinese = 0;
constexpr std::int32_t kEnglish = 2;

std::u16string Join(std::initializer_list<std::u16string_view> pieces) {
  std::u16string text;
  for (std::u16string_view piece : pieces) text += piece;
  return text;
}

std::u16string Lines(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (const std::u16string& line : lines) {
    if (!text.empty()) text += u'\n';
    text += line;
  }
  return text;
}

}  // namespace

std::int32_t UninstallLanguageIndex(std::int32_t startupLanguageIndex, std::u16string_view productShortName) {
  // The sibling products whose setup speaks English speak it here too.
  return ForcesEnglish(productShortName) ? kEnglish : startupLanguageIndex;
}

std::u16string ConfirmRemovalText(std::int32_t languageIndex, std::u16string_view displayName) {
  if (languageIndex == kChinese) return Join({u"确实要完全移除 ", displayName, u" 及其所有组件吗？"});
  return Join({u"Are you sure you want to completely remove ", displayName, u" and all of its components?"});
}

std::u16string RemovedText(std::int32_t languageIndex, std::u16string_view displayName) {
  if (languageIndex == kChinese) return Join({displayName, u" 已成功地从您的计算机中移除。"});
  return Join({displayName, u" was successfully removed from your computer."});
}

std::u16string NotRemovedText(std::int32_t languageIndex, std::u16string_view displayName,
                              const std::vector<std::u16string>& filesLeft) {
  const std::u16string list = Lines(filesLeft);
  if (languageIndex == kChinese) {
    return Join({displayName, u" 未能完全移除。以下文件无法删除：\n\n", list,
                 u"\n\n请关闭正在使用这些文件的程序，然后再次运行卸载程序。"});
  }
  return Join({displayName, u" could not be removed completely. These files could not be deleted:\n\n", list,
               u"\n\nClose the programs that use them and run the uninstaller again."});
}

std::u16string DamagedUninstallerText(std::int32_t languageIndex, std::u16string_view reason) {
  if (languageIndex == kChinese) return Join({u"卸载程序已损坏，未移除任何文件。\n\n", reason});
  return Join({u"The uninstaller is damaged; nothing was removed.\n\n", reason});
}

}  // namespace setup
