// The rules that keep a package's target folders and file names inside the folders they name.
// A package is untrusted input: these checks run over the whole table before any file is touched.
// The rules for one component are those of every safe relative path (base/SafePath.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// A target folder text below the destination: empty, or a safe relative path ("\" or "/"
// between components) that may end in one separator. So no leading separator (root, UNC or
// device path), no ":" (drive letter or stream name), no empty component, no component made only
// of dots and spaces, no reserved device name and no control characters.
bool IsSafeRelativeFolder(std::u16string_view folder);

// Column 0 of a row that does not go to the destination folder itself: a macro folder (first
// character "$") that MacroRemainder accepts, or a safe relative folder.
bool IsSafeTargetFolder(std::u16string_view folder);

// Column 1, checked whole: a safe relative path, every component of it, although only its last
// component is written. Rejects what IsSafeRelativeFolder rejects, and a trailing separator.
bool IsSafeName(std::u16string_view name);

// The part of a column-1 name that is written: what follows its last "\", "/" or ":".
std::u16string_view LastNameComponent(std::u16string_view name);

// For a macro folder text (first character "$"): the folder text that follows the macro, when the
// text is one macro followed by a safe relative folder. A text that holds
// "System" (with exactly this case) names the "$System$" macro, matched without regard to case;
// any other names "$Third$". A macro that is not at the start, that occurs twice or is not there
// at all gives no value: such a folder would not be the system folder.
std::optional<std::u16string_view> MacroRemainder(std::u16string_view folder);

}  // namespace setup
