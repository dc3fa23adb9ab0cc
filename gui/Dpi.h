// Dots per inch: the layer lays windows out in pixels at 96 dots per inch and scales every
// position, size and font by the DPI of the window's monitor.
#pragma once

#include <windows.h>

namespace setup::gui {

inline constexpr int kDesignDpi = 96;

// A length of the design (pixels at 96 DPI) in pixels at `dpi`, rounded as MulDiv rounds.
inline int ScaleToDpi(int value, int dpi) noexcept { return MulDiv(value, dpi, kDesignDpi); }

// Makes the process DPI aware where its manifest could not: Windows that do not know the
// manifest's DPI entries would otherwise stretch the windows as bitmaps. The call is looked up
// at run time, so Windows without it still start the program.
void BecomeDpiAware() noexcept;

// The DPI the process lays out new top-level windows with.
int SystemDpi() noexcept;
// The DPI of the monitor the window is on, where Windows tells it per window; else the system's.
int WindowDpi(HWND window) noexcept;

}  // namespace setup::gui
