// Facts about the running system that the wizard's layout depends on (Windows only).
#pragma once

#include <string>
#include <vector>

namespace setup {

// The major version number the system reports to this program (5 for XP, 6 for Vista and 7).
unsigned WindowsMajorVersion();

// The value of an environment variable, or empty when it is not set.
std::u16string EnvironmentVariable(const std::u16string& name);

// The folders of the system itself that no product is installed into: the Windows folder, the
// system folders and the program-files folders (those the system names).
std::vector<std::u16string> ReservedSystemFolders();

}  // namespace setup
