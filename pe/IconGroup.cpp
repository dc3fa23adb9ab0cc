#include "pe/IconGroup.h"

#include <set>
#include <vector>

#include "pe/Bytes.h"
#include "pe/PeErrors.h"

namespace setup::pe {

namespace {

constexpr std::size_t kDirectoryHeader = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;

struct IconImage {
  std::span<const std::uint8_t> header;  // width, height, colours, reserved, planes, bit count
  std::span<const std::uint8_t> bytes;
};

std::vector<IconImage> ReadIconFile(std::span<const std::uint8_t> ico) {
  if (ReadLE16(ico, 0, u"The icon file header") != 0 || ReadLE16(ico, 2, u"The icon file header") != 1) {
    throw EPeFormatError(u"Not an icon file");
  }
  const std::uint16_t count = ReadLE16(ico, 4, u"The icon file header");
  if (count == 0) throw EPeFormatError(u"The icon file holds no image");
  std::vector<IconImage> images;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kDirectoryHeader + kFileEntrySize * i;
    const std::uint32_t size = ReadLE32(ico, at + 8, u"An icon file entry");
    const std::uint32_t offset = ReadLE32(ico, at + 12, u"An icon file entry");
    images.push_back({ReadRange(ico, at, 8, u"An icon file entry"), ReadRange(ico, offset, size, u"An icon image")});
  }
  return images;
}

// The ids an icon group lists.
std::vector<std::uint16_t> GroupMembers(std::span<const std::uint8_t> group) {
  std::vector<std::uint16_t> ids;
  const std::uint16_t count = ReadLE16(group, 4, u"An icon group");
  for (std::size_t i = 0; i < count; ++i)
    ids.push_back(ReadLE16(group, kDirectoryHeader + kGroupEntrySize * i + 12, u"An icon group"));
  return ids;
}

}  // namespace

bool IsIconFile(std::span<const std::uint8_t> icoFile) {
  try {
    (void)ReadIconFile(icoFile);
    return true;
  } catch (const EPeFormatError&) {
    return false;
  }
}

void SetIconGroup(ResourceTree& tree, const ResourceKey& group, std::uint16_t language,
                  std::span<const std::uint8_t> icoFile) {
  const std::vector<IconImage> images = ReadIconFile(icoFile);

  // The old group's images go with it.
  if (const auto* old = tree.FindName(rt::kGroupIcon, group)) {
    for (const auto& [lang, bytes] : *old)
      for (const std::uint16_t id : GroupMembers(bytes)) tree.RemoveName(rt::kIcon, id);
    tree.RemoveName(rt::kGroupIcon, group);
  }
  std::set<std::uint16_t> used;
  if (const auto* icons = tree.FindType(rt::kIcon))
    for (const auto& [key, languages] : *icons) used.insert(key.Id());

  ByteWriter directory;
  directory.U16(0);
  directory.U16(1);
  directory.U16(static_cast<std::uint16_t>(images.size()));
  std::uint16_t next = 1;
  for (const IconImage& image : images) {
    while (used.contains(next)) ++next;
    used.insert(next);
    tree.Set(rt::kIcon, next, language, Bytes(image.bytes.begin(), image.bytes.end()));
    directory.Append(image.header);
    directory.U32(static_cast<std::uint32_t>(image.bytes.size()));
    directory.U16(next);
  }
  tree.Set(rt::kGroupIcon, group, language, directory.Take());
}

}  // namespace setup::pe
