#include "pe/Bytes.h"

#include "pe/PeErrors.h"

namespace setup::pe {

std::span<const std::uint8_t> ReadRange(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size,
                                        std::u16string_view what) {
  if (at > bytes.size() || size > bytes.size() - at) {
    throw EPeFormatError(std::u16string(what) + u" lies outside the file");
  }
  return bytes.subspan(at, size);
}

std::uint16_t ReadLE16(std::span<const std::uint8_t> bytes, std::size_t at, std::u16string_view what) {
  const auto p = ReadRange(bytes, at, 2, what);
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t ReadLE32(std::span<const std::uint8_t> bytes, std::size_t at, std::u16string_view what) {
  const auto p = ReadRange(bytes, at, 4, what);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void StoreLE16(Bytes& bytes, std::size_t at, std::uint16_t value) {
  bytes.at(at) = static_cast<std::uint8_t>(value);
  bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void StoreLE32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void ByteWriter::U16(std::uint16_t value) {
  bytes_.push_back(static_cast<std::uint8_t>(value));
  bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
  U16(static_cast<std::uint16_t>(value));
  U16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::Append(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

void ByteWriter::Utf16(std::u16string_view text, bool terminate) {
  for (const char16_t unit : text) U16(static_cast<std::uint16_t>(unit));
  if (terminate) U16(0);
}

void ByteWriter::PadTo(std::size_t alignment) {
  while (bytes_.size() % alignment != 0) bytes_.push_back(0);
}

}  // namespace setup::pe
