#include <cerrno>

#include "package/RestartReplace.h"

namespace setup::restart_replace {

// A POSIX system replaces a file that is open without any trouble (the open file keeps its own
// data): there is no move to postpone.
bool LastFailureMeansInUse() { return false; }

bool Schedule(const std::u16string&, const std::u16string&) {
  errno = ENOTSUP;
  return false;
}

bool Withdraw(const std::u16string&) { return true; }

}  // namespace setup::restart_replace
