#include <sys/random.h>

#include <cerrno>

#include "crypto/Cipher.h"
#include "crypto/Random.h"

namespace setup {

void FillSecureRandom(std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t got = getrandom(data, size, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw ECipher(u"No secure random source");
    }
    data += got;
    size -= static_cast<std::size_t>(got);
  }
}

}  // namespace setup
