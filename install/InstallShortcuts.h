// The shortcuts of an install (Windows only). A machine-wide install puts the program on the
// all-users desktop (when chosen) and in the all-users Start menu's Programs folder, so that every
// user of the machine sees them, also when a deployment tool ran Setup as the system account; one
// user's install puts them on that user's desktop and Start menu. Quick Launch has no all-users
// folder and stays the installing user's. The calling thread must have joined a COM apartment.
#pragma once

#include <string>

#include "base/StepLog.h"

namespace setup {

struct ProductShortcutChoices {
  std::u16string program;      // the installed program the shortcuts start
  std::u16string displayName;  // names the shortcut files (see ShortcutFileName)
  bool desktop = true;
  bool quickLaunch = false;
  bool allUsers = true;  // a machine-wide install; false for one user's
};

// Writes each chosen shortcut and the Start menu entry, logging each one made ("Shortcut: PATH")
// and each one not made with its reason. A shortcut is a convenience: one that cannot be made
// never stops the others or the install, so nothing is raised.
void CreateProductShortcuts(const ProductShortcutChoices& choices, StepLog& log) noexcept;

}  // namespace setup
