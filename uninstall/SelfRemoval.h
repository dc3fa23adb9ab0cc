// How the uninstaller removes its own file and the install folder (Windows only).
//
// A running program's file cannot be deleted on Windows. So the finished uninstaller copies
// itself into the temporary folder and starts the copy with "/Cleanup <handle>", handing down two
// inheritable handles: one to its own process (to wait for and to learn the file to delete), and
// one that holds the copy open with delete-on-close. The original then ends; the copy waits for it,
// deletes the original's file, removes the install folder when it is empty, and ends. With the
// copy's end the last handle on its file closes and the system deletes it. Nothing stays behind
// in the install folder or in the temporary folder.
#pragma once

#include <cstdint>

namespace setup {

// Starts the temporary copy. Returns false, with no copy left, when it cannot be started.
[[nodiscard]] bool StartSelfRemoval();

// The temporary copy's work: `processHandle` is the value of the inherited handle to the
// uninstaller's process. Returns the exit code: 0 when the uninstaller's file is gone.
int RunSelfRemoval(std::uint64_t processHandle);

}  // namespace setup
