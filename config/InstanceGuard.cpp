#include "config/InstanceGuard.h"

#include <windows.h>

#include "base/Text.h"
#include "config/Global.h"

namespace setup {

namespace {
bool WindowExists(const std::u16string& windowClass, const std::u16string& title) {
  // An empty text is passed as an empty string, not as null: it must not act as a wildcard.
  return FindWindowW(WidePtr(windowClass), WidePtr(title)) != nullptr;
}
}  // namespace

std::u16string FindRunningTitle(const ProductWindowIdentity& product) {
  if (WindowExists(product.windowClass, product.titleEn)) return product.titleEn;
  if (WindowExists(product.windowClass, product.titleCn)) return product.titleCn;
  return {};
}

GuardMessage RunningInstanceMessage(std::int32_t languageIndex, const std::u16string& runningTitle,
                                    const std::u16string& titleEn) {
  if (languageIndex == Global::kChinese) {
    return {runningTitle + u"正在运行，请先退出后再进行安装。", u"安装向导"};
  }
  return {titleEn + u" program is running, please close it first.", u"Setup"};
}

bool ProductIsRunning(std::int32_t languageIndex) {
  const ProductWindowIdentity product{Global::LoadConfigString(Global::idMainWindowClass),
                                      Global::LoadConfigString(Global::idMainWindowTitleEn),
                                      Global::LoadConfigString(Global::idMainWindowTitleCn)};
  const std::u16string runningTitle = FindRunningTitle(product);
  if (runningTitle.empty()) return false;
  const GuardMessage message = RunningInstanceMessage(languageIndex, runningTitle, product.titleEn);
  MessageBoxW(nullptr, WidePtr(message.text), WidePtr(message.caption), MB_OK);
  return true;
}

}  // namespace setup
