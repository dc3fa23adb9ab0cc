#include "gui/Dpi.h"

#include "base/SystemFunction_win.h"
#include "gui/GdiObject.h"

namespace setup::gui {

void BecomeDpiAware() noexcept {
  using IsAware = BOOL(WINAPI*)();
  using SetAware = BOOL(WINAPI*)();
  const auto isAware = SystemFunction<IsAware>(L"user32.dll", "IsProcessDPIAware");
  const auto setAware = SystemFunction<SetAware>(L"user32.dll", "SetProcessDPIAware");
  // Already aware (through the manifest, per monitor where Windows knows it): keep that.
  if (!isAware || !setAware || isAware()) return;
  (void)setAware();  // without it the windows are merely stretched: nothing to report
}

int SystemDpi() noexcept {
  using GetForSystem = UINT(WINAPI*)();
  if (const auto forSystem = SystemFunction<GetForSystem>(L"user32.dll", "GetDpiForSystem"))
    return static_cast<int>(forSystem());
  ScreenDc screen;
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) noexcept {
  using GetForWindow = UINT(WINAPI*)(HWND);
  static const auto forWindow = SystemFunction<GetForWindow>(L"user32.dll", "GetDpiForWindow");
  if (forWindow && window) {
    if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

}  // namespace setup::gui
