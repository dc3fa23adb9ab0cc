// What a Mutex holds on Windows, shared with the condition variable that waits on it.
#pragma once

#include <windows.h>

#include "base/Threads.h"

namespace setup {

struct Mutex::Native {
  CRITICAL_SECTION section;
};

}  // namespace setup
