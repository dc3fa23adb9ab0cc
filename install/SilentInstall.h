// The unattended install (Setup.exe /S): no window, the default options, the outcome as the exit
// code (InstallOutcome). A WM_CLOSE to its hidden window (as a polite "end task" sends) cancels
// and rolls back.
#pragma once

#include "install/SetupCommandLine.h"

namespace setup {

int RunSilentInstall(const SetupCommand& command);

}  // namespace setup
