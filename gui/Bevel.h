// A lowered separator line along the top of its area.
#pragma once

#include "gui/Window.h"

namespace setup::gui {

class TBevel final : public TWindow {
 public:
  explicit TBevel(const CreateArgs& args);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace setup::gui
