// Bytes from the operating system's secure random source.
#pragma once

#include <cstddef>
#include <cstdint>

namespace setup {

// Fills the buffer; raises ECipher when the system has no random bytes to give.
void FillSecureRandom(std::uint8_t* data, std::size_t size);

}  // namespace setup
