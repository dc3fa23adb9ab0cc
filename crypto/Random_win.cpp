#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <algorithm>
#include <climits>

#include "crypto/Cipher.h"
#include "crypto/Random.h"

namespace setup {

void FillSecureRandom(std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const auto count = static_cast<ULONG>(std::min<std::size_t>(size, ULONG_MAX));
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, data, count, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
      throw ECipher(u"No secure random source");
    }
    data += count;
    size -= count;
  }
}

}  // namespace setup
