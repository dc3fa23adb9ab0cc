// The uninstaller's message boxes, captioned with the application title (Windows only).
#pragma once

#include <string>

namespace setup {

// A question with Yes and No; true for Yes.
bool AskYesNo(const std::u16string& text);

// A message about something that went wrong, with the warning icon and an OK button.
void ShowWarning(const std::u16string& text);

}  // namespace setup
