// The text rules by which shortcut and folder paths are formed. Pure text: no file is touched.
#pragma once

#include <string>
#include <string_view>

namespace setup {

// Appended to the "AppData" folder to reach the Quick Launch folder.
inline constexpr std::u16string_view kQuickLaunchSuffix = u"\\Microsoft\\Internet Explorer\\Quick Launch";

// The folder part of a path: everything up to and including its last "\" or ":"; empty when it
// has neither.
std::u16string FolderPart(std::u16string_view path);

// The file name of the shortcut written for linkName: its extension (from the last "." after the
// last "\" or ":") replaced by ".lnk", or ".lnk" appended, then everything up to and including
// the last "\" or ":" dropped, so the file always lands in the folder it is saved to.
std::u16string ShortcutFileName(std::u16string_view linkName);

}  // namespace setup
