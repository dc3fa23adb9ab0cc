#include "wizard/SetupForm.h"

#include "app/Global.h"
#include "base/Text.h"

namespace setup {

namespace {
constexpr wchar_t kClassName[] = L"TForm1";
constexpr int kWidth = 503;
constexpr int kHeight = 398;

void RegisterFormClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  wc.hIcon = Application().Icon();
  RegisterClassExW(&wc);
  registered = true;
}
}  // namespace

TForm1::TForm1() {
  const bool chinese = Global::LanguageIndex == Global::kChinese;
  productDisplayName_ =
      Global::LoadConfigString(chinese ? Global::idProductDisplayNameCn : Global::idProductDisplayNameEn);
  Application().SetTitle(productDisplayName_);
  RegisterFormClass();
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  handle_ = CreateWindowExW(0, kClassName, WidePtr(productDisplayName_), WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX,
                            x, y, kWidth, kHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TForm1::WindowProc));
  ShowWindow(handle_, SW_SHOWNORMAL);
  UpdateWindow(handle_);
}

TForm1::~TForm1() {
  if (IsWindow(handle_)) DestroyWindow(handle_);
}

LRESULT CALLBACK TForm1::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace setup
