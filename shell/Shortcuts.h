// Shortcut (.lnk) files through the shell's link object (Windows only). The calling thread must
// have joined a COM apartment (the GUI layer does at start-up; see shell/ComApartment.h).
#pragma once

#include <string>

#include "shell/ShellFolders.h"

namespace setup {

// Writes a shortcut that starts `target` with `arguments`, its working folder the target's folder
// part, into the folder of `place` (and its existing `subFolder` when that is not empty). The file
// is named after linkName with its extension replaced by ".lnk" and any folder part dropped; an
// earlier file of that name is replaced. A place without a folder, a missing sub-folder or a failed
// save leave no file and report nothing. Raises EOleSysError "%s, ClassID: %s" when the link object
// cannot be created, EIntfCastError when it lacks an interface, and the registry error of
// GetSpecialFolder.
void CreateShortcut(const std::u16string& target, const std::u16string& arguments, const std::u16string& linkName,
                    ShortcutPlace place, const std::u16string& subFolder);

// As CreateShortcut, into `folder` itself (no trailing "\"); the file's full path when it was
// saved, else empty (an empty or missing folder, or a failed save). Raises as CreateShortcut.
std::u16string SaveShortcutIn(const std::u16string& target, const std::u16string& arguments,
                              const std::u16string& linkName, const std::u16string& folder);

// The path that the shortcut file starts, or "unable to resolve link" when the file cannot be
// loaded, resolved or read. Resolution may show the shell's own search dialog, owned by the thread's
// active window; the file is never updated. Raises EOleSysError when the link object cannot be made.
std::u16string ResolveShortcut(const std::u16string& linkFile);

// The folder, ending in "\", of the program that the shortcut linkName + ".lnk" starts, looked for
// in the user's folder of the place and then in the all-users folder ("Common " + placeName).
// "QuickLaunch" (exact case) looks only in the user's Quick Launch folder. Empty when neither
// folder holds a shortcut that resolves. Registry errors of the folder look-up pass through.
std::u16string FindShortcutFolder(const std::u16string& linkName, const std::u16string& placeName);

// The folder, ending in "\", of the program that the shortcut written for linkName (see
// ShortcutFileName) in `folder` starts; empty when folder is empty or holds no such shortcut that
// resolves.
std::u16string FindShortcutFolderIn(const std::u16string& folder, const std::u16string& linkName);

}  // namespace setup
