// The Base64 dialect of the cipher strings: standard alphabet, "=" padding, no line breaks,
// and a tolerant decoder that never fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// Every 3 bytes give 4 characters; the output has ((size + 2) / 3) * 4 characters.
std::string EncodeBase64(const std::uint8_t* data, std::size_t size);

// Whole groups of 4 characters only (a shorter remainder is ignored). "=" in the third place
// ends its group after one byte, in the fourth after two; decoding goes on with the next group.
// A character outside the alphabet takes the value its place had in the previous group
// (0 in the first group).
std::vector<std::uint8_t> DecodeBase64(std::string_view text);

// UTF-16 forms: the text goes through the ANSI code page before decoding, and the decoded
// bytes are read as little-endian code units (an odd last byte is dropped).
std::u16string DecodeBase64Text(std::u16string_view text);
// The code units' little-endian bytes, encoded and widened.
std::u16string EncodeBase64Text(std::u16string_view text);

// Little-endian byte pairs of UTF-16 text and back (an odd last byte is dropped).
std::vector<std::uint8_t> Utf16ToBytes(std::u16string_view text);
std::u16string BytesToUtf16(const std::uint8_t* data, std::size_t size);

}  // namespace setup
