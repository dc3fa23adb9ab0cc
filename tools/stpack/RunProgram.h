// Runs another program and waits for it (stpack's one use: the signing tool).
#pragma once

#include <string>
#include <vector>

namespace setup::stpack {

// The program's exit status; -1 when it cannot be started. The program is found on the PATH.
int RunProgram(const std::u16string& program, const std::vector<std::u16string>& arguments);

}  // namespace setup::stpack
