#include "install/InstallShortcuts.h"

#include "base/Errors.h"
#include "shell/ShellFolders.h"
#include "shell/Shortcuts.h"

namespace setup {

namespace {

std::u16string AllUsersDesktop() { return GetCommonFolder(CommonPlace::Desktop); }
std::u16string AllUsersPrograms() { return GetCommonFolder(CommonPlace::Programs); }
std::u16string UsersQuickLaunch() { return GetSpecialFolder(spQuickLaunch); }
std::u16string UsersDesktop() { return GetSpecialFolder(spDesktop); }
std::u16string UsersPrograms() { return GetUserProgramsFolder(); }

struct ShortcutPlaceRow {
  bool chosen;
  const char16_t* name;          // for the log
  std::u16string (*folderOf)();  // may raise a registry error
};

// One shortcut into the place's folder; what happened goes to the log. A folder look-up that
// fails is one more reason for no shortcut.
void CreateOne(const ProductShortcutChoices& choices, const ShortcutPlaceRow& place, StepLog& log) noexcept {
  const std::u16string name = place.name;
  try {
    const std::u16string folder = place.folderOf();
    const std::u16string saved = SaveShortcutIn(choices.program, u"", choices.displayName, folder);
    if (saved.empty())
      log.Line(u"Shortcut not made (" + name + u"): it cannot be saved in \"" + folder + u"\"");
    else
      log.Line(u"Shortcut: " + saved);
  } catch (const Exception& error) {
    log.Line(u"Shortcut not made (" + name + u"): " + error.Message());
  } catch (...) {
    log.Line(u"Shortcut not made (" + name + u")");
  }
}

}  // namespace

void CreateProductShortcuts(const ProductShortcutChoices& choices, StepLog& log) noexcept {
  const ShortcutPlaceRow places[] = {
      {choices.desktop, u"desktop", choices.allUsers ? AllUsersDesktop : UsersDesktop},
      {choices.quickLaunch, u"Quick Launch", UsersQuickLaunch},
      {true, u"Start menu", choices.allUsers ? AllUsersPrograms : UsersPrograms},
  };
  for (const ShortcutPlaceRow& place : places) {
    if (place.chosen) CreateOne(choices, place, log);
  }
}

}  // namespace setup
