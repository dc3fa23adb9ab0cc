#include "gui/Form.h"

#include "gui/Application.h"

namespace setup::gui {

TForm::TForm(const wchar_t* className, const CreateArgs& args) {
  RegisterOwnClass(className, Application().Icon());
  CreateArgs hidden = args;
  hidden.visible = false;
  // The default sizeable frame, with the system menu and the minimise box but no maximise box.
  CreateOwnWindow(className, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN,
                  WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, hidden);
}

void TForm::SetOuterSize(int width, int height) {
  SetWindowPos(Handle(), nullptr, 0, 0, Scale(width), Scale(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CenterOnDesktop() {
  const TBounds bounds = Bounds();
  const int left = (GetSystemMetrics(SM_CXSCREEN) - bounds.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - bounds.height) / 2;
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  ShowWindow(Handle(), SW_SHOWNORMAL);
  UpdateWindow(Handle());
}

void TForm::Close() {
  if (Handle()) DestroyWindow(Handle());
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        // Remember the focused control, to give it back when the form is active again.
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) focus_ = focus;
      } else if (focus_ && IsWindow(focus_) && IsWindowVisible(focus_)) {
        SetFocus(focus_);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (focus_ && IsWindow(focus_) && IsWindowVisible(focus_)) SetFocus(focus_);
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI (or its DPI changed): take the rectangle Windows
      // suggests, then lay everything out and make the fonts anew for the new DPI.
      const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      ChangeDpi(HIWORD(wParam));
      return 0;
    }
    case WM_DESTROY:
      if (Application().MainForm() == this) PostQuitMessage(0);
      break;
    default:
      break;
  }
  return TWindow::HandleMessage(message, wParam, lParam);
}

void SetTabOrder(std::initializer_list<TWindow*> controls) {
  HWND previous = HWND_TOP;
  for (TWindow* control : controls) {
    SetWindowPos(control->Handle(), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control->Handle();
  }
}

}  // namespace setup::gui
