// The shell's special folders as the per-user "Shell Folders" record names them, and the system
// folder (Windows only).
#pragma once

#include <cstdint>
#include <string>

namespace setup {

// A special place for shortcuts. Numbers above spStartup name no place.
enum ShortcutPlace : std::uint8_t {
  spDesktop = 0,
  spQuickLaunch = 1,
  spSendTo = 2,
  spStartMenu = 3,
  spStartup = 4,
};

// The key, under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, whose values name the special folders.
inline constexpr char16_t kShellFoldersKey[] = u"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The folder of a place, as the registry holds it (no trailing "\"), or empty when the place has
// none: a number above spStartup, or a missing value. Quick Launch lies below "AppData"; without an
// "AppData" value it has no folder. A value that is not a text raises ERegistryException
// "Invalid data type for '%s'".
std::u16string GetSpecialFolder(ShortcutPlace place);

// The folders that every user of the machine sees, where a machine-wide install puts its
// shortcuts (Quick Launch has none: it is always the user's own).
enum class CommonPlace : std::uint8_t {
  Desktop,   // the all-users desktop
  Programs,  // the all-users Start menu's Programs folder
};

// The folder of a common place as the system gives it (no trailing "\"), or empty when the
// system names none. Nothing is created.
std::u16string GetCommonFolder(CommonPlace place);

// The user's own Start menu Programs folder, where one user's install puts its entry (no trailing
// "\"), or empty when the system names none. Nothing is created.
std::u16string GetUserProgramsFolder();

// The system folder followed by "\", or empty when the system does not give it.
std::u16string GetSystemFolder();

}  // namespace setup
