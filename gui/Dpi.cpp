#include "gui/Dpi.h"

#include "gui/GdiObject.h"

namespace setup::gui {

namespace {

// Functions of user32 that older Windows lack, looked up by name.
template <class Function>
Function User32Function(const char* name) noexcept {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

void BecomeDpiAware() noexcept {
  using IsAware = BOOL(WINAPI*)();
  using SetAware = BOOL(WINAPI*)();
  const auto isAware = User32Function<IsAware>("IsProcessDPIAware");
  const auto setAware = User32Function<SetAware>("SetProcessDPIAware");
  // Already aware (through the manifest, per monitor where Windows knows it): keep that.
  if (!isAware || !setAware || isAware()) return;
  (void)setAware();  // without it the windows are merely stretched: nothing to report
}

int SystemDpi() noexcept {
  using GetForSystem = UINT(WINAPI*)();
  if (const auto forSystem = User32Function<GetForSystem>("GetDpiForSystem")) return static_cast<int>(forSystem());
  ScreenDc screen;
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) noexcept {
  using GetForWindow = UINT(WINAPI*)(HWND);
  static const auto forWindow = User32Function<GetForWindow>("GetDpiForWindow");
  if (forWindow && window) {
    if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

}  // namespace setup::gui
