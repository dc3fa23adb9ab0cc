// What device management and other package managers need to deploy a product's Setup.exe: the
// values an Intune Win32 app asks for and Chocolatey's install arguments, as text for a person
// to copy.
#pragma once

#include <string>

namespace setup::stpack {

struct DeploymentFacts {
  std::u16string setupFileName;  // "Setup.exe"
  std::u16string shortName;      // the install folder's name
  std::u16string productCode;    // the Uninstall key's name
  std::u16string version;        // its DisplayVersion
  bool x86 = false;              // a 32-bit setup program: Program Files (x86), WOW6432Node
  bool perUser = false;          // installed for the user: %LOCALAPPDATA%\Programs, HKEY_CURRENT_USER
};

std::u16string DeploymentNotes(const DeploymentFacts& facts);

}  // namespace setup::stpack
