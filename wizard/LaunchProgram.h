// Starting a file through the shell (Windows only).
#pragma once

#include <windows.h>

#include <string>

#include "shell/UniqueHandle.h"

namespace setup {

// The handle of a started process; closing it leaves the process running.
using ProcessHandle = UniqueHandle;

// Opens `file` with its default action and `parameters`, shown normally. Returns the new process,
// or no handle when the launch failed or started no process of its own.
ProcessHandle LaunchProgram(const std::u16string& file, const std::u16string& parameters);

}  // namespace setup
