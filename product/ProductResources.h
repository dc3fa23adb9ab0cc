// What a product becomes inside a stub: the resources stpack writes into Setup.exe and Uninst.exe.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "pe/ResourceTree.h"
#include "product/ProductFile.h"

namespace setup::product {

// The configuration strings, the product's icon (as AppIcon, when it has one) and the version
// information, over the stub's own resources (its manifest and default icon stay).
void AddCommonResources(pe::ResourceTree& tree, const Product& product, std::u16string_view description,
                        std::u16string_view fileName);

// Setup.exe: the common resources, the banners, the header picture, the licence texts and the
// package.
void AddSetupResources(pe::ResourceTree& tree, const Product& product, std::span<const std::uint8_t> package);

// Uninst.exe: the common resources and the list of the install-folder files it removes (UTF-8,
// one path per line, "\" between folders).
void AddUninstallerResources(pe::ResourceTree& tree, const Product& product, std::string_view fileList);

}  // namespace setup::product
