// The shell's folder dialog, rooted at the computer's drives (Windows only).
#pragma once

#include <windows.h>

#include <string>

namespace setup {

// Lets the user pick a file-system folder; returns its path, or empty text when the dialog was
// cancelled or the chosen item is no file-system folder.
std::u16string BrowseForFolder(HWND owner, const std::u16string& title);

}  // namespace setup
