// Read-only access to the executable's own resources.
#pragma once

#include <cstddef>
#include <span>

namespace setup::gui {

// The bytes of a resource of this executable; they live as long as the process. Empty when the
// executable has no such resource.
std::span<const std::byte> ResourceBytes(const wchar_t* type, const wchar_t* name);

}  // namespace setup::gui
