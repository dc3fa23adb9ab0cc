// Uninst.exe's sequence: guard, question, removal, messages (Windows only).
#pragma once

#include <string>

#include "product/ExitCodes.h"

namespace setup {

// The exit codes of Uninst.exe; the two that deployment tools act on have the numbers they know.
enum UninstallExitCode : int {
  kUninstallRemoved = product::kExitRemoved,  // everything is gone (the uninstaller's own file a moment later)
  kUninstallFilesLeft = product::kExitFilesLeft,  // some files could not be removed; the registration stays
  kUninstallProductRunning = product::kExitUninstallProductRunning,  // the product runs: nothing changed
  kUninstallFailed = product::kExitUninstallFailed,  // the file list is damaged, or another failure
  kUninstallCancelled = product::kExitAnsweredNo,  // the question was answered No: nothing changed
  kUninstallAnotherRunning = product::kExitAnotherInstall,  // another install or removal runs: nothing changed
};

struct UninstallOptions {
  bool silent = false;     // no question and no messages
  std::u16string logFile;  // every step and file written there (UTF-8); empty: no log
};

// Runs the whole removal and returns its exit code. Raises nothing.
int RunUninstaller(const UninstallOptions& options) noexcept;

}  // namespace setup
