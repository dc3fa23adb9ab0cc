// One-line edit box and read-only memo.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/Window.h"

namespace setup::gui {

class TEdit final : public TWindow {
 public:
  explicit TEdit(const CreateArgs& args);

  // Raised on every change of the text: typed, or set by the program through SetText.
  std::function<void()> OnChange;

 private:
  void OnCommand(WORD notification) override;
  HBRUSH OnCtlColor(HDC) override { return nullptr; }
};

// Multi-line, read-only, word-wrapped text with a vertical scroll bar.
class TMemo final : public TWindow {
 public:
  explicit TMemo(const CreateArgs& args);

  // The text as lines; a line break is CR LF.
  void SetLines(const std::vector<std::u16string>& lines);
  std::vector<std::u16string> Lines() const;

 private:
  // A read-only edit would take the dialog colour; the memo keeps the window colour.
  HBRUSH OnCtlColor(HDC dc) override;
};

}  // namespace setup::gui
