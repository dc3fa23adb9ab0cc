#include "uninstall/UninstallDialogs.h"

#include <windows.h>

#include "base/Text.h"
#include "gui/Application.h"

namespace setup {

namespace {
// The uninstaller has no window of its own: the boxes are top-level, in front of the others.
constexpr UINT kTopLevel = MB_SETFOREGROUND | MB_TOPMOST;
}  // namespace

bool AskYesNo(const std::u16string& text) {
  return MessageBoxW(GetActiveWindow(), WidePtr(text), WidePtr(gui::Application().Title()),
                     MB_YESNO | MB_ICONQUESTION | kTopLevel) == IDYES;
}

void ShowWarning(const std::u16string& text) {
  MessageBoxW(GetActiveWindow(), WidePtr(text), WidePtr(gui::Application().Title()),
              MB_OK | MB_ICONWARNING | kTopLevel);
}

}  // namespace setup
