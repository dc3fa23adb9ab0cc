#include "base/ByteSource.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/Errors.h"
#include "base/MemorySource.h"

namespace setup {

void ByteSource::ReadBuffer(void* buffer, std::size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

std::size_t MemorySource::Read(void* buffer, std::size_t count) {
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (position_ >= size) return 0;
  const auto available = static_cast<std::size_t>(size - position_);
  const std::size_t n = std::min(count, available);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return n;
}

std::span<const std::uint8_t> MemorySource::Borrow(std::size_t count) {
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (position_ >= size) return {};
  const std::size_t n = std::min(count, static_cast<std::size_t>(size - position_));
  const auto* start = reinterpret_cast<const std::uint8_t*>(bytes_.data()) + position_;
  position_ += static_cast<std::int64_t>(n);
  return {start, n};
}

std::int64_t MemorySource::Seek(std::int64_t offset, Origin origin) {
  const std::int64_t base = origin == Origin::Begin     ? 0
                            : origin == Origin::Current ? position_
                                                        : static_cast<std::int64_t>(bytes_.size());
  // Beyond the range of positions, or before the start: the position stays where it was.
  if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) || base + offset < 0) return -1;
  position_ = base + offset;
  return position_;
}

}  // namespace setup
