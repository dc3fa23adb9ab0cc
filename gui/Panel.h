// A plain container with a background colour and no bevel.
#pragma once

#include "gui/Window.h"

namespace setup::gui {

inline constexpr COLORREF kColorWhite = RGB(255, 255, 255);
inline constexpr COLORREF kColorCream = RGB(255, 251, 240);

class TPanel final : public TWindow {
 public:
  // Without a colour the panel has the button-face colour of dialogs.
  explicit TPanel(const CreateArgs& args, std::optional<COLORREF> color = std::nullopt);

  HBRUSH BackgroundBrush() const noexcept override;

 private:
  BrushHandle brush_;  // empty for the button-face colour
};

}  // namespace setup::gui
