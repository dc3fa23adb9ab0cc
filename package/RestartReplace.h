// Replacing a file at the next restart, for a target that another program holds open so that it
// can be neither moved aside nor replaced now. The new content waits beside the target under its
// temporary name, and the system moves it over the target when it starts again, before any
// program can open the target. Until then the old file stays where it is and keeps working.
#pragma once

#include <string>

namespace setup::restart_replace {

// True when the last failure of a move (the system's last error) means that the file is in use
// by another program: a sharing violation, a lock, or access denied to the move.
bool LastFailureMeansInUse();

// Asks the system to move `temporary` over `target` at the next restart. False when it cannot
// (no such facility on this platform, or the system refused); the system's last error tells why.
bool Schedule(const std::u16string& temporary, const std::u16string& target);

// Withdraws a move that Schedule asked for, when it is still pending; true when none is left.
// The caller removes the temporary file as well, so that a move it could not withdraw finds
// nothing to move and the old file stays.
bool Withdraw(const std::u16string& temporary);

}  // namespace setup::restart_replace
