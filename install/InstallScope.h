// Whom an install is for: every user of the machine (elevated; Program Files, HKEY_LOCAL_MACHINE,
// the all-users shortcuts) or the one user who runs Setup (no elevation; that user's local
// application data, HKEY_CURRENT_USER, that user's shortcuts). The product file chooses.
#pragma once

#include <string_view>

namespace setup {

enum class InstallScope { Machine, User };

// From the product's configuration string: "user" (in any case) is one user's install; anything
// else, an empty text too, the machine-wide default.
InstallScope InstallScopeFromText(std::u16string_view text);

}  // namespace setup
