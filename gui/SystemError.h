// Failures of the platform's window functions.
#pragma once

#include <windows.h>

#include <string>

#include "base/Errors.h"

namespace setup::gui {

// The system's text for an error code, without the trailing line break; empty when it has none.
std::u16string SystemErrorText(DWORD code);

// A window function that failed: "System Error.  Code: %d.\n%s" with the system's reason.
class EOSError : public Exception {
 public:
  explicit EOSError(DWORD code);
  DWORD ErrorCode() const noexcept { return code_; }

 private:
  DWORD code_;
};

// Raises EOSError for the calling thread's last error. Call it right after the failing function.
[[noreturn]] void RaiseLastOSError();

}  // namespace setup::gui
