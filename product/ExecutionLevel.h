// The execution level a program's manifest asks Windows for. The stubs ask for administrator
// rights; a per-user product's programs must start without elevation, as the user who runs them.
#pragma once

#include <string>

#include "pe/ResourceTree.h"

namespace setup::product {

// Turns level="requireAdministrator" into level="asInvoker" in every language of the manifest
// resource (RT_MANIFEST 1). Returns why it cannot (no manifest, no such attribute, or another
// request for elevation left after the change), or empty text; the tree is changed only on success.
std::u16string RequestNoElevation(pe::ResourceTree& tree);

}  // namespace setup::product
