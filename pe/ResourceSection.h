// The bytes of a resource section: the directory of types, names and languages, the names, the
// data entries and the data, as Windows' resource functions walk them.
#pragma once

#include <cstdint>
#include <span>

#include "pe/Bytes.h"
#include "pe/ResourceTree.h"

namespace setup::pe {

// The section's bytes for a section that starts at `sectionRva` (data entries hold addresses
// relative to the image). Deterministic: every timestamp and version is 0, entries are in the
// tree's order, data is aligned to 8 bytes.
Bytes WriteResourceSection(const ResourceTree& tree, std::uint32_t sectionRva);

// The tree a section holds. Raises EPeFormatError for a directory deeper than three levels, an
// offset outside the section or data outside it, a directory or data entry reached twice, more
// entries than a section ever needs, or names and data that overlap.
ResourceTree ReadResourceSection(std::span<const std::uint8_t> section, std::uint32_t sectionRva);

}  // namespace setup::pe
