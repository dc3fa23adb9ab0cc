#include "wizard/InstallShortcuts.h"

#include <functional>

#include "base/Errors.h"
#include "shell/ShellFolders.h"
#include "shell/Shortcuts.h"

namespace setup {

namespace {

// One shortcut into the folder that `folderOf` names; what happened goes to the log. A folder
// look-up that fails (a registry value of the wrong type) is one more reason for no shortcut.
void CreateOne(const ProductShortcutChoices& choices, const std::function<std::u16string()>& folderOf,
               const std::u16string& placeName, StepLog& log) noexcept {
  try {
    const std::u16string folder = folderOf();
    const std::u16string saved = SaveShortcutIn(choices.program, u"", choices.displayName, folder);
    if (saved.empty())
      log.Line(u"Shortcut not made (" + placeName + u"): it cannot be saved in \"" + folder + u"\"");
    else
      log.Line(u"Shortcut: " + saved);
  } catch (const Exception& error) {
    log.Line(u"Shortcut not made (" + placeName + u"): " + error.Message());
  } catch (...) {
    log.Line(u"Shortcut not made (" + placeName + u")");
  }
}

}  // namespace

void CreateProductShortcuts(const ProductShortcutChoices& choices, StepLog& log) noexcept {
  if (choices.desktop)
    CreateOne(
        choices, [] { return GetCommonFolder(CommonPlace::Desktop); }, u"desktop", log);
  if (choices.quickLaunch)
    CreateOne(
        choices, [] { return GetSpecialFolder(spQuickLaunch); }, u"Quick Launch", log);
  CreateOne(
      choices, [] { return GetCommonFolder(CommonPlace::Programs); }, u"Start menu", log);
}

}  // namespace setup
