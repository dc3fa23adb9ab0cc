// Package files made and taken apart byte by byte, independently of the package library, so the
// tool's output is checked against the format and not only against itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace setup::testing_support {

std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

// One zlib stream (RFC 1950) of the bytes, and its inverse; Inflate fails the test on bad data.
std::string Deflate(const std::string& bytes);
std::string Inflate(const std::string& stream, std::size_t unpackedSize);

// Payload, then the table text as 8-bit characters, its length as 32-bit little-endian and
// the tail 0x0A 0x14 0x02.
std::string AssemblePackage(const std::string& payload, const std::string& tableBytes);

// An RC4 envelope with an MD5 key, built from the published layout: salt (8 code units, any
// characters), the two selector characters, then the Base64 ciphertext of the plain text.
std::u16string Rc4Md5Envelope(std::u16string_view salt, std::u16string_view password, std::u16string_view plainText);

struct PackageParts {
  std::string payload;
  std::string tableBytes;  // the envelope as the package stores it
};
// Splits a package written in the first tail layout; fails the test on any other layout.
PackageParts SplitPackage(const std::string& package);

// The rows of a plain table text: the optional "#...#" property block is dropped, rows are
// split at "|", cells at ","; column 1 loses its escapes (characters 26 and 27).
std::vector<std::vector<std::u16string>> TableRows(std::u16string_view plainText);

}  // namespace setup::testing_support
