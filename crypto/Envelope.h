// The cipher envelope: a self-describing enciphered text. Positions 1-8 are the salt, 9 and 10
// name the cipher and the hash by their difference from positions 4 and 5, then come the
// initial-vector characters (block ciphers) and the Base64 ciphertext.
#pragma once

#include <string>
#include <string_view>

#include "crypto/Suite.h"

namespace setup {

// The plain text, or empty text when the envelope is malformed or anything fails. There is
// no integrity check: a wrong password gives meaningless text of the right length.
std::u16string DecryptEnvelope(std::u16string_view envelope, std::u16string_view password) noexcept;

// Writes an envelope with a random printable-ASCII salt and initial vector from the system's
// secure random source. Raises ECipher for an index outside the suite.
std::u16string EncryptEnvelope(int hashIndex, int cipherIndex, std::u16string_view password,
                               std::u16string_view plainText);

// Deterministic variant (tests, reproducible packages): salt = 8 printable ASCII characters
// whose 4th and 5th stay printable after subtracting the cipher and hash index; initVector =
// the cipher's block size in printable ASCII characters (ignored for RC4). Raises ECipher
// when they break these rules. The result is ASCII only.
std::u16string EncryptEnvelope(int hashIndex, int cipherIndex, std::u16string_view password,
                               std::u16string_view plainText, std::u16string_view salt, std::u16string_view initVector);

}  // namespace setup
