#include "wizard/Application.h"

#include <objbase.h>

#include "base/Text.h"

namespace setup {

TApplication& Application() {
  static TApplication application;
  return application;
}

TApplication::~TApplication() {
  mainForm_.reset();
  if (comInitialized_) CoUninitialize();
}

void TApplication::Initialize() {
  // The shortcut routines create shell link objects on this thread.
  comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
}

void TApplication::SetIconFromResource(const wchar_t* name) {
  icon_ = LoadIconW(GetModuleHandleW(nullptr), name);
}

bool TApplication::HandleOneMessage(MSG& msg) {
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  // Dialog navigation (Tab, accelerators) goes to the main form's controls.
  HWND main = mainForm_ ? mainForm_->Handle() : nullptr;
  if (!(main && IsDialogMessageW(main, &msg))) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (!terminated_ && HandleOneMessage(msg)) {
  }
}

void TApplication::Run() {
  MSG msg;
  while (!terminated_) {
    if (mainForm_ && !IsWindow(mainForm_->Handle())) break;
    if (HandleOneMessage(msg)) continue;
    if (OnIdle) OnIdle();
    if (terminated_) break;
    WaitMessage();
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void ShowMessage(const std::u16string& text) {
  HWND owner = Application().MainForm() ? Application().MainForm()->Handle() : nullptr;
  MessageBoxW(owner, WidePtr(text), WidePtr(Application().Title()), MB_OK);
}

}  // namespace setup
