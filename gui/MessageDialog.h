// The plain message dialog.
#pragma once

#include <string>

namespace setup::gui {

// Shows `text` with one OK button and no icon, captioned with the application title, modal to
// the active form; returns when it is closed.
void ShowMessage(const std::u16string& text);

}  // namespace setup::gui
