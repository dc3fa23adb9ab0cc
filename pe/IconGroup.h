// Icons: a .ico file becomes one RT_ICON resource per image and an RT_GROUP_ICON that lists them.
#pragma once

#include <span>

#include "pe/ResourceTree.h"

namespace setup::pe {

// Replaces the icon group `group` (its old images go too) with the images of an .ico file. The
// images take the lowest ids no other icon uses. Raises EPeFormatError when the bytes are not an
// icon file with at least one image inside it.
void SetIconGroup(ResourceTree& tree, const ResourceKey& group, std::uint16_t language,
                  std::span<const std::uint8_t> icoFile);

// Whether the bytes are an icon file whose image table lies inside them.
bool IsIconFile(std::span<const std::uint8_t> icoFile);

}  // namespace setup::pe
