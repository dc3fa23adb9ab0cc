// Bytes that can be read from any position: an open file or a block of memory. The package
// reader works on this, so a package can be read straight from where it already is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace setup {

class ByteSource {
 public:
  enum class Origin { Begin, Current, End };

  virtual ~ByteSource() = default;

  // Reads up to `count` bytes; returns how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Reads exactly `count` bytes or raises EReadError ("Stream read error").
  void ReadBuffer(void* buffer, std::size_t count);
  // Up to `count` bytes at the current position, where the source already holds them in memory,
  // and moves past them: no copy. Empty where it does not (a file) or at the end: Read instead.
  virtual std::span<const std::uint8_t> Borrow(std::size_t /*count*/) { return {}; }

  // The new position, or -1 when it cannot be reached.
  virtual std::int64_t Seek(std::int64_t offset, Origin origin) = 0;
  std::int64_t Position() { return Seek(0, Origin::Current); }
  virtual std::int64_t Size() = 0;
};

}  // namespace setup
