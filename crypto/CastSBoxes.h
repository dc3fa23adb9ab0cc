// The eight S-boxes of the CAST family. S1 to S4 drive the round function of CAST-128 and
// CAST-256; S5 to S8 serve only the CAST-128 key schedule. Every column of every box is a
// bent function of the eight input bits.
#pragma once

#include <cstdint>

namespace setup::cast {

extern const std::uint32_t kSBox[8][256];

}  // namespace setup::cast
