// String-table resources: strings are stored in blocks of sixteen, block n+1 holding ids 16n to
// 16n+15, each string as its length and its UTF-16 code units.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "pe/Bytes.h"
#include "pe/ResourceTree.h"

namespace setup::pe {

using StringMap = std::map<std::uint16_t, std::u16string>;

// The blocks that hold `strings`, by block id. An empty string is the same as an absent one.
std::map<std::uint16_t, Bytes> EncodeStringBlocks(const StringMap& strings);

// The strings of one block (EPeFormatError when it is cut short).
StringMap DecodeStringBlock(std::uint16_t blockId, std::span<const std::uint8_t> block);

// Adds the strings to the tree's string table in one language, replacing those ids.
void SetStrings(ResourceTree& tree, const StringMap& strings, std::uint16_t language);

// Every string of one language in the tree's string table.
StringMap ReadStrings(const ResourceTree& tree, std::uint16_t language);

}  // namespace setup::pe
