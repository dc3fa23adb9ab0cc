#include "pe/StringTable.h"

#include "pe/PeErrors.h"

namespace setup::pe {

namespace {
constexpr std::uint16_t kStringsPerBlock = 16;
std::uint16_t BlockOf(std::uint16_t id) { return static_cast<std::uint16_t>(id / kStringsPerBlock + 1); }
}  // namespace

std::map<std::uint16_t, Bytes> EncodeStringBlocks(const StringMap& strings) {
  std::map<std::uint16_t, StringMap> byBlock;
  for (const auto& [id, text] : strings) {
    if (text.empty()) continue;
    if (text.size() > 0xFFFF) throw EPeFormatError(u"A string is longer than a string table holds");
    byBlock[BlockOf(id)][id] = text;
  }
  std::map<std::uint16_t, Bytes> blocks;
  for (const auto& [block, members] : byBlock) {
    ByteWriter out;
    const auto first = static_cast<std::uint16_t>((block - 1) * kStringsPerBlock);
    for (std::uint16_t i = 0; i < kStringsPerBlock; ++i) {
      const auto found = members.find(static_cast<std::uint16_t>(first + i));
      const std::u16string_view text = found == members.end() ? std::u16string_view() : found->second;
      out.U16(static_cast<std::uint16_t>(text.size()));
      out.Utf16(text, false);
    }
    blocks[block] = out.Take();
  }
  return blocks;
}

StringMap DecodeStringBlock(std::uint16_t blockId, std::span<const std::uint8_t> block) {
  StringMap strings;
  std::size_t at = 0;
  for (std::uint16_t i = 0; i < kStringsPerBlock; ++i) {
    const std::uint16_t length = ReadLE16(block, at, u"A string table");
    const auto units = ReadRange(block, at + 2, std::size_t{length} * 2, u"A string table");
    at += 2 + std::size_t{length} * 2;
    if (length == 0) continue;
    std::u16string text(length, u'\0');
    for (std::size_t k = 0; k < length; ++k) text[k] = static_cast<char16_t>(units[2 * k] | units[2 * k + 1] << 8);
    strings[static_cast<std::uint16_t>((blockId - 1) * kStringsPerBlock + i)] = std::move(text);
  }
  return strings;
}

StringMap ReadStrings(const ResourceTree& tree, std::uint16_t language) {
  StringMap strings;
  if (const auto* blocks = tree.FindType(rt::kString)) {
    for (const auto& [block, languages] : *blocks) {
      const auto found = languages.find(language);
      if (block.IsName() || found == languages.end()) continue;
      strings.merge(DecodeStringBlock(block.Id(), found->second));
    }
  }
  return strings;
}

void SetStrings(ResourceTree& tree, const StringMap& strings, std::uint16_t language) {
  StringMap merged = strings;
  merged.merge(ReadStrings(tree, language));  // the new texts win: merge keeps existing keys
  for (auto& [block, bytes] : EncodeStringBlocks(merged)) tree.Set(rt::kString, block, language, std::move(bytes));
}

}  // namespace setup::pe
