// Uninst.exe's sequence: guard, question, removal, messages (Windows only).
#pragma once

#include <string>

namespace setup {

// The exit codes of Uninst.exe; the two that deployment tools act on have the numbers they know.
enum UninstallExitCode : int {
  kUninstallRemoved = 0,            // everything is gone (the uninstaller's own file a moment later)
  kUninstallFilesLeft = 1,          // some files could not be removed; the registration stays
  kUninstallProductRunning = 3,     // the product runs: nothing changed
  kUninstallFailed = 4,             // the uninstaller's file list is damaged, or another failure
  kUninstallCancelled = 1602,       // the question was answered No: nothing changed
  kUninstallAnotherRunning = 1618,  // another install or removal of the product runs: nothing changed
};

struct UninstallOptions {
  bool silent = false;     // no question and no messages
  std::u16string logFile;  // every step and file written there (UTF-8); empty: no log
};

// Runs the whole removal and returns its exit code. Raises nothing.
int RunUninstaller(const UninstallOptions& options) noexcept;

}  // namespace setup
