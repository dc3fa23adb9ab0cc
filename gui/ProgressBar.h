// A progress bar from 0 to 100 in the classic style.
#pragma once

#include "gui/Window.h"

namespace setup::gui {

class TProgressBar final : public TWindow {
 public:
  explicit TProgressBar(const CreateArgs& args);
  int Position() const;
  void SetPosition(int position);
  void SetStep(int step);

 private:
  HBRUSH OnCtlColor(HDC) override { return nullptr; }
};

}  // namespace setup::gui
