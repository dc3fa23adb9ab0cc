#include "gui/Application.h"

#include <commctrl.h>

#include "gui/CommonControls.h"
#include "gui/Dpi.h"
#include "gui/ExceptionReport.h"
#include "shell/ApplicationTitle.h"

namespace setup::gui {

TApplication& Application() {
  static TApplication application;
  return application;
}

TApplication::~TApplication() {
  otherForms_.clear();
  mainForm_.reset();
  // The title source is not cleared here: it is a static made after this object, so it is
  // already gone, and nothing asks it for the title any more.
}

void TApplication::Initialize() {
  // Before any window: an unaware program's windows would be stretched as bitmaps.
  BecomeDpiAware();
  // The shortcut routines and the JPEG decoder create COM objects on this thread.
  apartment_.emplace();
  // The progress bar's class; without it the bar is missing and everything else still works.
  (void)RegisterControlClasses(ICC_PROGRESS_CLASS);
  if (title_.empty()) title_ = ApplicationTitle();  // the program's file name, before a source is set
  SetApplicationTitleSource([this] { return title_; });
}

void TApplication::SetIconFromResource(const wchar_t* name) { icon_ = LoadIconW(GetModuleHandleW(nullptr), name); }

bool TApplication::HandleOneMessage() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  // Tab, arrow keys and accelerators move between the main form's controls.
  HWND main = mainForm_ ? mainForm_->Handle() : nullptr;
  if (!(main && IsDialogMessageW(main, &message))) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

void TApplication::ProcessMessages() {
  while (!terminated_ && HandleOneMessage()) {
  }
}

void TApplication::RaiseIdle() noexcept {
  if (!OnIdle) return;
  try {
    OnIdle();
  } catch (...) {
    ReportCurrentException();
  }
}

void TApplication::Run() {
  while (!terminated_) {
    if (!mainForm_ || !mainForm_->Handle()) break;
    if (HandleOneMessage()) continue;
    RaiseIdle();
    if (terminated_) break;
    WaitMessage();
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

}  // namespace setup::gui
