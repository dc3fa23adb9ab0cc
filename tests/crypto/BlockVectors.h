// The block ciphers' known answers of data/block/*.tsv, compiled in by CMake (the Windows tests
// run under Wine, away from this tree): one table text per cipher, named by its file.
#pragma once

#include <cstddef>

namespace setup::testing_support {

struct BlockVectorFile {
  const char* cipher;  // the file's name: the cipher's suite name ("3DES", "Rijndael", ...)
  const char* tsv;     // name, key_bits, key_hex, plain_hex, cipher_hex
};

extern const BlockVectorFile kBlockVectorFiles[];
extern const std::size_t kBlockVectorFileCount;

}  // namespace setup::testing_support
