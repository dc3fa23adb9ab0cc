#include "package/Extract.h"

namespace setup {

// There is no system folder here: packages with macro rows need an explicit one.
SystemFolderFunction DefaultSystemFolder() {
  return [] { return std::u16string(); };
}

}  // namespace setup
