// The hash and cipher suites by envelope index and by name.
#pragma once

#include <memory>
#include <string_view>

#include "crypto/Cipher.h"
#include "crypto/Hash.h"

namespace setup {

inline constexpr int kHashCount = 5;    // 0 HAVAL, 1 MD5, 2 SHA-1, 3 SHA-256, 4 SHA-512
inline constexpr int kCipherCount = 9;  // 0 Blowfish ... 8 IDEA

// A new, uninitialised hash or cipher of the suite. An index outside 0 to kHashCount - 1
// (kCipherCount - 1) gives nullptr.
std::unique_ptr<THash> CreateHashByIndex(int index);
std::unique_ptr<TCipher> CreateCipherByIndex(int index);
// The known-answer test of the hash or cipher at that index; false outside the table.
bool HashSelfTest(int index);
bool CipherSelfTest(int index);

// The names stpack accepts, one per index, matched without regard to ASCII letter case:
// "Haval", "MD5", "SHA1", "SHA256", "SHA512" and "Blowfish", "Cast128", "Cast256", "DES",
// "3DES", "Rijndael", "RC4", "Twofish", "IDEA". Also accepted: "AES" for Rijndael and the
// hyphenated "SHA-1", "SHA-256", "SHA-512", "CAST-128", "CAST-256". Unknown names give -1.
int HashIndexByName(std::u16string_view name);
int CipherIndexByName(std::u16string_view name);
std::u16string_view HashName(int index);    // empty outside the table
std::u16string_view CipherName(int index);  // empty outside the table

}  // namespace setup
