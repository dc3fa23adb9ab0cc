// A read-only view of bytes in memory as a ByteSource; the bytes must outlive the view.
#pragma once

#include <cstddef>
#include <span>

#include "base/ByteSource.h"

namespace setup {

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::byte> bytes) : bytes_(bytes) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::span<const std::uint8_t> Borrow(std::size_t count) override;
  // Positions before the start fail; positions past the end are allowed and read nothing.
  std::int64_t Seek(std::int64_t offset, Origin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }

 private:
  std::span<const std::byte> bytes_;
  std::int64_t position_ = 0;
};

}  // namespace setup
