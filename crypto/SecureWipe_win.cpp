#include <windows.h>

#include "crypto/SecureWipe.h"

namespace setup {

void SecureWipe(void* data, std::size_t size) noexcept {
  if (data != nullptr && size != 0) SecureZeroMemory(data, size);
}

}  // namespace setup
