#include "crypto/Hash.h"

#include <algorithm>
#include <cstring>

namespace setup {

void THash::RequireInitialized() const {
  if (!fInitialized) throw EHash(u"Hash not initialized");
}

void THash::UpdateStr(std::string_view text) {
  Update(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void THash::UpdateStr(std::u16string_view text) {
  // Small pieces keep the copy on the stack; the order is each unit's low byte, then its high byte.
  std::uint8_t pairs[256];
  while (!text.empty()) {
    const std::size_t count = std::min<std::size_t>(text.size(), sizeof(pairs) / 2);
    for (std::size_t i = 0; i < count; ++i) {
      pairs[2 * i] = static_cast<std::uint8_t>(text[i]);
      pairs[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
    Update(pairs, 2 * count);
    text.remove_prefix(count);
  }
  SecureWipe(pairs, sizeof(pairs));
}

template <std::size_t BlockBytes>
void TBlockHash<BlockBytes>::Update(const std::uint8_t* buffer, std::size_t size) {
  RequireInitialized();
  const std::uint64_t bits = LengthInBits() + (std::uint64_t{size} << 3);
  LenLo = static_cast<std::uint32_t>(bits);
  LenHi = static_cast<std::uint32_t>(bits >> 32);
  while (size > 0) {
    if (Index == 0 && size >= BlockBytes) {
      Compress(buffer);
      buffer += BlockBytes;
      size -= BlockBytes;
      continue;
    }
    const std::size_t count = std::min(size, BlockBytes - Index);
    std::memcpy(HashBuffer.data() + Index, buffer, count);
    Index += count;
    buffer += count;
    size -= count;
    if (Index == BlockBytes) {
      Compress(HashBuffer.data());
      Index = 0;
    }
  }
}

template <std::size_t BlockBytes>
void TBlockHash<BlockBytes>::PadForTail(std::uint8_t padByte, std::size_t tailBytes) {
  HashBuffer[Index] = padByte;
  std::memset(HashBuffer.data() + Index + 1, 0, BlockBytes - Index - 1);
  if (Index + 1 > BlockBytes - tailBytes) {
    Compress(HashBuffer.data());
    HashBuffer.Wipe();
  }
  Index = 0;
}

template <std::size_t BlockBytes>
void TBlockHash<BlockBytes>::Burn() {
  LenHi = 0;
  LenLo = 0;
  Index = 0;
  HashBuffer.Wipe();
  THash::Burn();
}

template class TBlockHash<64>;
template class TBlockHash<128>;

}  // namespace setup
