// Push button, check box and group box.
#pragma once

#include <functional>

#include "gui/Window.h"

namespace setup::gui {

// A push button; "&" before a letter of its text marks the keyboard accelerator.
class TButton final : public TWindow {
 public:
  explicit TButton(const CreateArgs& args);
  // Presses the button as a click would.
  void Click();

  std::function<void()> OnClick;

 private:
  void OnCommand(WORD notification) override;
  HBRUSH OnCtlColor(HDC) override { return nullptr; }
};

class TCheckBox final : public TWindow {
 public:
  TCheckBox(const CreateArgs& args, bool checked);
  bool Checked() const;
  void SetChecked(bool checked);

  std::function<void()> OnClick;

 private:
  void OnCommand(WORD notification) override;
};

// A captioned frame around other controls.
class TGroupBox final : public TWindow {
 public:
  explicit TGroupBox(const CreateArgs& args);
};

}  // namespace setup::gui
