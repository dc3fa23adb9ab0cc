#include "gui/Font.h"

#include <algorithm>

#include "gui/Dpi.h"

namespace setup::gui {

FontHandle MakeFont(const TFontSpec& spec, int dpi) {
  LOGFONTW font{};
  font.lfHeight = ScaleToDpi(spec.height, dpi);
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = spec.charset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH;
  const std::size_t length = std::min(spec.name.size(), std::size(font.lfFaceName) - 1);
  std::copy_n(spec.name.begin(), length, font.lfFaceName);
  return FontHandle(CreateFontIndirectW(&font));
}

int PointsToHeight(int points) { return -MulDiv(points, 96, 72); }

}  // namespace setup::gui
