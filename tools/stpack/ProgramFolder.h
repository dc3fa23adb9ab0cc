// The folder this program was started from: stpack looks for its stubs beside itself.
#pragma once

#include <filesystem>

namespace setup::stpack {

// Empty when the system cannot tell.
std::filesystem::path ProgramFolder();

}  // namespace setup::stpack
