#include "gui/Bevel.h"

#include <algorithm>

namespace setup::gui {

namespace {
constexpr wchar_t kBevelClass[] = L"SetupBevel";
}

TBevel::TBevel(const CreateArgs& args) {
  RegisterOwnClass(kBevelClass);
  CreateOwnWindow(kBevelClass, 0, 0, args);
}

LRESULT TBevel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    RECT client;
    GetClientRect(Handle(), &client);
    // A lowered line along the top: shadow over highlight, each a designed pixel thick.
    const int line = std::max(1, Scale(1));
    RECT shadow{client.left, client.top, client.right, client.top + line};
    RECT highlight{client.left, client.top + line, client.right, client.top + 2 * line};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &highlight, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    EndPaint(Handle(), &paint);
    return 0;
  }
  return TWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace setup::gui
