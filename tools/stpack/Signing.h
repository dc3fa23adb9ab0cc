// Authenticode signing of a built executable, through osslsigncode.
#pragma once

#include <cstdint>
#include <filesystem>

#include "product/ProductFile.h"

namespace setup::stpack {

// Signs `file` in place with the key and certificate, the signing time set to `time` so the same
// inputs give the same bytes. Raises Exception when osslsigncode is missing or fails.
void SignExecutable(const std::filesystem::path& file, const product::Signing& signing, std::uint32_t time);

}  // namespace setup::stpack
