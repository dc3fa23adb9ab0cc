// The version information resource that file properties and the elevation prompt show.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "pe/Bytes.h"

namespace setup::pe {

struct VersionFields {
  std::u16string productName;
  std::u16string productVersion;  // shown as it stands; its leading numbers fill the fixed part
  std::u16string companyName;
  std::u16string fileDescription;
  std::u16string originalFilename;
  std::u16string legalCopyright;
};

// Up to four numbers from the start of a version text ("2.30 beta" gives 2, 30, 0, 0).
std::array<std::uint16_t, 4> VersionNumbers(std::u16string_view text);

// A VS_VERSIONINFO block: the fixed file information, a string table in US English with
// Unicode code page 1200, and the translation that names it. Empty fields are left out.
Bytes BuildVersionInfo(const VersionFields& fields);

}  // namespace setup::pe
