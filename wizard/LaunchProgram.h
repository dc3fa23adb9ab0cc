// Starting a file through the shell (Windows only).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace setup {

struct ProcessHandleClose {
  void operator()(HANDLE process) const noexcept { CloseHandle(process); }
};
// The handle of a started process; closing it leaves the process running.
using ProcessHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, ProcessHandleClose>;

// Opens `file` with its default action and `parameters`, shown normally. Returns the new process,
// or no handle when the launch failed or started no process of its own.
ProcessHandle LaunchProgram(const std::u16string& file, const std::u16string& parameters);

}  // namespace setup
