#include "gui/MessageDialog.h"

#include <windows.h>

#include "base/Text.h"
#include "gui/Application.h"

namespace setup::gui {

void ShowMessage(const std::u16string& text) {
  HWND owner = GetActiveWindow();
  if (!owner && Application().MainForm()) owner = Application().MainForm()->Handle();
  MessageBoxW(owner, WidePtr(text), WidePtr(Application().Title()), MB_OK);
}

}  // namespace setup::gui
