// A sunken separator line.
#pragma once

#include "wizard/gui/Window.h"

namespace setup::gui {

class TBevel final : public TWindow {
 public:
  explicit TBevel(const CreateArgs& args);
};

}  // namespace setup::gui
