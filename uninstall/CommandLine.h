// The uninstaller's command line.
//   /S               remove silently: no question, no messages; the exit code tells the result.
//   /LOG=file        write every step and file to this file (UTF-8).
//   /Cleanup <h>     internal: the temporary copy that removes the finished uninstaller (see
//                    SelfRemoval.h); <h> is the decimal value of the inherited process handle.
// Switches are matched without regard to case; anything else is ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace setup {

struct UninstallCommand {
  bool silent = false;
  std::u16string logFile;  // empty: no log
  // The temporary copy: it only removes the finished uninstaller and never uninstalls. A missing
  // or malformed handle value leaves cleanupHandle 0, which names no handle.
  bool cleanup = false;
  std::uint64_t cleanupHandle = 0;
};

// `arguments` without the program's own name.
UninstallCommand ParseUninstallCommand(const std::vector<std::u16string>& arguments);

}  // namespace setup
