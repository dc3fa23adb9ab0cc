// Failures of the PE resource writer: a file that is not a usable stub, a resource that cannot be
// built from its input.
#pragma once

#include "base/Errors.h"

namespace setup::pe {

class EPeFormatError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace setup::pe
