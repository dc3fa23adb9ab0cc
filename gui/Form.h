// A top-level window: caption, outer size, centred on the desktop, system menu and minimise box
// only, keyboard focus kept on a control, closing.
#pragma once

#include <initializer_list>

#include "gui/Window.h"

namespace setup::gui {

class TForm : public TWindow {
 public:
  // Creates the window hidden; Show puts it on the screen.
  TForm(const wchar_t* className, const CreateArgs& args);

  // Outer width and height, frame and caption included, as designed (pixels at 96 DPI).
  void SetOuterSize(int width, int height);
  void CenterOnDesktop();
  void Show();
  // Closes the window; closing the application's main form ends the program.
  void Close();

  // The control that holds the focus when the form first gets it.
  void SetFirstFocus(TWindow& control) noexcept { focus_ = control.Handle(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND focus_ = nullptr;  // not owned: one of the form's controls
};

// Orders sibling controls for the Tab key: the first in the list comes first.
void SetTabOrder(std::initializer_list<TWindow*> controls);

}  // namespace setup::gui
