// Static text, transparent on its parent: either of fixed size with word wrap, or sized to its text.
#pragma once

#include "gui/Window.h"

namespace setup::gui {

enum class TLabelSizing { Fixed, ToText };

class TLabel final : public TWindow {
 public:
  // Fixed labels wrap their text at word boundaries inside the given size; ToText labels
  // take the size of their text on one line per line feed.
  TLabel(const CreateArgs& args, TLabelSizing sizing);

 private:
  void TextChanged() override { FitToText(); }
  void FontChanged() override { FitToText(); }
  void FitToText();

  TLabelSizing sizing_;
};

}  // namespace setup::gui
