// Starting the installed product on Finish (Windows only).
#pragma once

#include <string>

#include "shell/UniqueHandle.h"

namespace setup {

// Opens `file` (a full path) with its default action and `parameters`, shown normally. The
// wizard runs as administrator, but the product should run as the person signed in, with their
// own profile: so the desktop shell, which runs as that person, is asked to open it. Where there
// is no such shell (no desktop window, no dispatch object), or when the shell accepts the request
// but no new process of `file` appears within a few seconds, the wizard opens it itself. Returns
// whether the launch was made.
[[nodiscard]] bool LaunchProgram(const std::u16string& file, const std::u16string& parameters);

}  // namespace setup
