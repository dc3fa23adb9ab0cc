// Explicit byte order for the algorithms: loads and stores of words, and rotations.
#pragma once

#include <bit>
#include <cstdint>

namespace setup::bytes {

inline std::uint32_t LoadLE32(const std::uint8_t* p) noexcept {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
inline std::uint32_t LoadBE32(const std::uint8_t* p) noexcept {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}
inline std::uint64_t LoadBE64(const std::uint8_t* p) noexcept {
  return std::uint64_t{LoadBE32(p)} << 32 | LoadBE32(p + 4);
}
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) noexcept {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}
inline void StoreBE32(std::uint8_t* p, std::uint32_t v) noexcept {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}
inline void StoreBE64(std::uint8_t* p, std::uint64_t v) noexcept {
  StoreBE32(p, static_cast<std::uint32_t>(v >> 32));
  StoreBE32(p + 4, static_cast<std::uint32_t>(v));
}

inline std::uint32_t Rotl32(std::uint32_t v, int n) noexcept { return std::rotl(v, n); }
inline std::uint32_t Rotr32(std::uint32_t v, int n) noexcept { return std::rotr(v, n); }
inline std::uint64_t Rotr64(std::uint64_t v, int n) noexcept { return std::rotr(v, n); }

// The byte of a word counted from its low end, as an index into an S-box.
inline std::uint8_t ByteOf(std::uint32_t v, int index) noexcept { return static_cast<std::uint8_t>(v >> (8 * index)); }

}  // namespace setup::bytes
