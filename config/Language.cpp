#include "config/Language.h"

namespace setup {

bool ForcesEnglish(std::u16string_view productShortName) {
  return productShortName == u"Quorvel" || productShortName == u"Sindrel";
}

}  // namespace setup
