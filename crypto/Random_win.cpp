#include <windows.h>
// windows.h first: ntsecapi.h needs its types.
#include <ntsecapi.h>

#include <algorithm>
#include <climits>

#include "crypto/Cipher.h"
#include "crypto/Random.h"

namespace setup {

// The system's random source through advapi32, which every Windows version the wizard runs on
// has (the newer cryptography DLL is missing from Windows 5).
void FillSecureRandom(std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const auto count = static_cast<ULONG>(std::min<std::size_t>(size, ULONG_MAX));
    if (!RtlGenRandom(data, count)) throw ECipher(u"No secure random source");
    data += count;
    size -= count;
  }
}

}  // namespace setup
