// Fonts by name, height and style.
#pragma once

#include <windows.h>

#include <string>

#include "gui/GdiObject.h"

namespace setup::gui {

struct TFontSpec {
  std::u16string name = u"Tahoma";
  // Character height in pixels, negative as in LOGFONT (-11 is 8 pt at 96 dpi).
  int height = -11;
  bool bold = false;
  BYTE charset = ANSI_CHARSET;

  bool operator==(const TFontSpec&) const = default;
};

// A new font of that description at `dpi` (the height scaled from 96 DPI); the caller owns it.
FontHandle MakeFont(const TFontSpec& spec, int dpi = 96);

// The pixel height (negative) of a point size at 96 dots per inch, rounded as the system does.
int PointsToHeight(int points);

}  // namespace setup::gui
