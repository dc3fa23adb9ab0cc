// Opening a file through the desktop shell's own dispatch object (Windows only).
#pragma once

#include <string>

namespace setup {

// Asks the shell process that shows the desktop to open `file` with `parameters` and its default
// action: the file runs with that process's rights, those of the signed-in person, however
// elevated the caller is. Returns false, having started nothing, when the desktop shell offers no
// such object (no shell running, another shell, a system without it) or when the shell that
// offers it shows another desktop than the caller's (it would start the file where nobody sees
// it). The calling thread must be in a COM apartment.
bool LaunchThroughDesktopShell(const std::u16string& file, const std::u16string& parameters);

}  // namespace setup
