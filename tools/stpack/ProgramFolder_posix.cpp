#include <system_error>

#include "tools/stpack/ProgramFolder.h"

namespace setup::stpack {

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self.parent_path();
}

}  // namespace setup::stpack
