#include "install/InstallScope.h"

#include "base/Text.h"

namespace setup {

InstallScope InstallScopeFromText(std::u16string_view text) {
  return SameTextIgnoreCase(text, u"user") ? InstallScope::User : InstallScope::Machine;
}

}  // namespace setup
