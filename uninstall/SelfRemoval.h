// How the uninstaller removes its own file and the install folder (Windows only).
//
// A running program's file cannot be deleted on Windows. So the finished uninstaller copies
// itself into a new folder of the temporary folder and starts the copy with "/Cleanup <handle>",
// handing down two inheritable handles: one to its own process (to wait for and to learn the file
// to delete), and one that holds the copy open with delete-on-close and without write sharing.
// The copy runs as administrator, so its folder is made afresh under a random name with a security
// descriptor that lets only the system and the administrators in: the signed-in user can write the
// temporary folder itself, and could otherwise swap the copy or place a DLL beside it. The
// original then ends; the copy waits for it, deletes the original's file, removes the install
// folder when it is empty, moves its own file out of its folder and removes the folder, and ends.
// With the copy's end the last handle on its file closes and the system deletes it. Nothing stays
// behind in the install folder or in the temporary folder.
#pragma once

#include <cstdint>

namespace setup {

// Starts the temporary copy. Returns false, with no copy left, when it cannot be started.
bool StartSelfRemoval();

// The temporary copy's work: `processHandle` is the value of the inherited handle to the
// uninstaller's process. Returns the exit code: 0 when the uninstaller's file is gone.
int RunSelfRemoval(std::uint64_t processHandle);

}  // namespace setup
