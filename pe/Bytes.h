// Little-endian byte access for the PE writer: checked reads of untrusted bytes, and a growing
// buffer for the bytes it writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace setup::pe {

using Bytes = std::vector<std::uint8_t>;

// Reads raise EPeFormatError("<what> lies outside the file") when the range leaves `bytes`.
std::uint16_t ReadLE16(std::span<const std::uint8_t> bytes, std::size_t at, std::u16string_view what);
std::uint32_t ReadLE32(std::span<const std::uint8_t> bytes, std::size_t at, std::u16string_view what);
std::span<const std::uint8_t> ReadRange(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size,
                                        std::u16string_view what);

void StoreLE16(Bytes& bytes, std::size_t at, std::uint16_t value);
void StoreLE32(Bytes& bytes, std::size_t at, std::uint32_t value);

inline std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
  return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

// Appends at the end of a buffer.
class ByteWriter {
 public:
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void Append(std::span<const std::uint8_t> data);
  // UTF-16 code units, with a terminating zero when asked.
  void Utf16(std::u16string_view text, bool terminate);
  void PadTo(std::size_t alignment);
  std::size_t Size() const { return bytes_.size(); }
  Bytes& Buffer() { return bytes_; }
  Bytes Take() { return std::move(bytes_); }

 private:
  Bytes bytes_;
};

}  // namespace setup::pe
