// Glyphor: the sample product's main program. It opens one main window whose class and title
// are the product's configured main-window identity (string ids 1001 and 1002).
//   Glyphor.exe [/title TEXT]   a different title, for tests of the setup's running-instance guard
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

namespace {

std::wstring LoadText(unsigned id) {
  wchar_t buffer[1024] = {};
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, buffer, 1024);
  return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT area;
      GetClientRect(hwnd, &area);
      static const wchar_t kGreeting[] = L"Glyphor is ready.";
      DrawTextW(dc, kGreeting, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  const std::wstring windowClass = LoadText(1001);
  std::wstring title = LoadText(1002);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv && i + 1 < argc; ++i) {
    if (lstrcmpiW(argv[i], L"/title") == 0) title = argv[i + 1];
  }
  if (argv) LocalFree(argv);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"MAINICON");
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = windowClass.c_str();
  if (!RegisterClassExW(&wc)) return 1;
  HWND window = CreateWindowExW(0, windowClass.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
