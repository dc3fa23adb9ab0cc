// The information message box (Windows only).
#pragma once

#include <string>

namespace setup {

// Shows `text` in a modal box with the information icon and one OK button, and returns when it is
// closed. An empty caption is replaced by ApplicationTitle() (shell/ApplicationTitle.h). The box is
// owned by the calling thread's active window, and the thread's other top-level windows are
// disabled while it shows.
void ShowInfoMessage(const std::u16string& text, const std::u16string& caption);

}  // namespace setup
