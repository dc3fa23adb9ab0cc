// What an install is to the install it finds: the versions of both compared, and the decision
// that follows (portable, so its rules are tested on both targets).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// Compares two dotted numeric versions ("2", "2.0.1", "10.04"): number by number, a missing
// number counting as 0, so "2" and "2.0.0" are one version, and leading zeros not counting.
// Blanks around a version are ignored. Negative, 0 or positive as `a` is older than, the same as
// or newer than `b`; nothing when either is not such a version ("2.30 beta", "", "1..2").
std::optional<int> CompareVersions(std::u16string_view a, std::u16string_view b);

enum class InstallKind {
  Fresh,      // nothing installed before
  Upgrade,    // an older version, or one whose version cannot be compared, is replaced
  Repair,     // the same version: every file is written again
  Downgrade,  // a newer version is installed: only when the user or the command line allows it
};

// The kind of install, from the version found installed (nothing when none is) and the version
// this Setup carries.
InstallKind DecideInstallKind(const std::optional<std::u16string>& installed, std::u16string_view carried);

// "fresh install", "upgrade", "repair", "downgrade": for the log.
std::u16string_view InstallKindName(InstallKind kind);

}  // namespace setup
