#include "pe/ResourceSection.h"

#include <set>
#include <vector>

#include "base/Text.h"
#include "pe/PeErrors.h"

namespace setup::pe {

namespace {

constexpr std::uint32_t kDirectoryHeaderSize = 16;
constexpr std::uint32_t kEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDataAlignment = 8;

std::uint32_t DirectorySize(std::size_t entries) {
  return kDirectoryHeaderSize + kEntrySize * static_cast<std::uint32_t>(entries);
}

// Where each piece of the section goes, worked out before anything is written.
struct Layout {
  std::uint32_t typeDirectories = 0;  // offset of the first type's name directory
  std::uint32_t nameDirectories = 0;  // offset of the first language directory
  std::uint32_t dataEntries = 0;
  std::uint32_t strings = 0;
  std::uint32_t data = 0;
};

class SectionWriter {
 public:
  SectionWriter(const ResourceTree& tree, std::uint32_t sectionRva) : tree_(tree), sectionRva_(sectionRva) {}

  Bytes Write() {
    PlanLayout();
    WriteDirectories();
    WriteDataEntries();
    WriteStrings();
    WriteData();
    return out_.Take();
  }

 private:
  void PlanLayout() {
    const auto& types = tree_.AllTypes();
    std::uint32_t at = DirectorySize(types.size());
    layout_.typeDirectories = at;
    for (const auto& [type, names] : types) at += DirectorySize(names.size());
    layout_.nameDirectories = at;
    std::size_t leaves = 0;
    for (const auto& [type, names] : types) {
      for (const auto& [name, languages] : names) {
        at += DirectorySize(languages.size());
        leaves += languages.size();
      }
    }
    layout_.dataEntries = at;
    at += kDataEntrySize * static_cast<std::uint32_t>(leaves);
    layout_.strings = at;
    for (const auto& [type, names] : types) {
      at += StringSize(type);
      for (const auto& [name, languages] : names) at += StringSize(name);
    }
    layout_.data = AlignUp(at, kDataAlignment);
  }

  static std::uint32_t StringSize(const ResourceKey& key) {
    return key.IsName() ? 2 + 2 * static_cast<std::uint32_t>(key.Name().size()) : 0;
  }

  void DirectoryHeader(std::size_t named, std::size_t numbered) {
    out_.U32(0);  // characteristics
    out_.U32(0);  // time stamp: none, so the bytes do not depend on the clock
    out_.U16(0);  // major version
    out_.U16(0);  // minor version
    out_.U16(static_cast<std::uint16_t>(named));
    out_.U16(static_cast<std::uint16_t>(numbered));
  }

  template <typename Map>
  void Directory(const Map& entries, std::uint32_t& nextChild, auto childSize, bool childIsDirectory) {
    std::size_t named = 0;
    for (const auto& [key, child] : entries) named += key.IsName() ? 1 : 0;
    DirectoryHeader(named, entries.size() - named);
    for (const auto& [key, child] : entries) {
      if (key.IsName()) {
        out_.U32(kHighBit | nextString_);
        nextString_ += StringSize(key);
      } else {
        out_.U32(key.Id());
      }
      out_.U32(childIsDirectory ? (kHighBit | nextChild) : nextChild);
      nextChild += childSize(child);
    }
  }

  void WriteDirectories() {
    const auto& types = tree_.AllTypes();
    nextString_ = layout_.strings;
    std::uint32_t nextTypeDirectory = layout_.typeDirectories;
    Directory(
        types, nextTypeDirectory, [](const ResourceTree::Names& n) { return DirectorySize(n.size()); }, true);
    std::uint32_t nextNameDirectory = layout_.nameDirectories;
    for (const auto& [type, names] : types) {
      Directory(
          names, nextNameDirectory, [](const ResourceTree::Languages& l) { return DirectorySize(l.size()); }, true);
    }
    std::uint32_t nextDataEntry = layout_.dataEntries;
    for (const auto& [type, names] : types) {
      for (const auto& [name, languages] : names) {
        DirectoryHeader(0, languages.size());
        for (const auto& [language, data] : languages) {
          out_.U32(language);
          out_.U32(nextDataEntry);
          nextDataEntry += kDataEntrySize;
        }
      }
    }
  }

  void WriteDataEntries() {
    std::uint32_t at = layout_.data;
    ForEachLeaf([&](const Bytes& data) {
      out_.U32(sectionRva_ + at);
      out_.U32(static_cast<std::uint32_t>(data.size()));
      out_.U32(0);  // code page
      out_.U32(0);  // reserved
      at = AlignUp(at + static_cast<std::uint32_t>(data.size()), kDataAlignment);
    });
  }

  // In the order the directories refer to them: the type names, then each type's names.
  void WriteStrings() {
    for (const auto& [type, names] : tree_.AllTypes()) WriteString(type);
    for (const auto& [type, names] : tree_.AllTypes())
      for (const auto& [name, languages] : names) WriteString(name);
    out_.PadTo(kDataAlignment);
  }

  void WriteString(const ResourceKey& key) {
    if (!key.IsName()) return;
    out_.U16(static_cast<std::uint16_t>(key.Name().size()));
    out_.Utf16(key.Name(), false);
  }

  void WriteData() {
    ForEachLeaf([&](const Bytes& data) {
      out_.Append(data);
      out_.PadTo(kDataAlignment);
    });
  }

  template <typename Visit>
  void ForEachLeaf(Visit visit) {
    for (const auto& [type, names] : tree_.AllTypes())
      for (const auto& [name, languages] : names)
        for (const auto& [language, data] : languages) visit(data);
  }

  const ResourceTree& tree_;
  const std::uint32_t sectionRva_;
  Layout layout_;
  std::uint32_t nextString_ = 0;
  ByteWriter out_;
};

// Reads a section from a file nobody vouches for: every offset is checked against the section,
// and the walk is bounded by the section's own size. Each directory and each data entry may be
// reached once (so a loop, or thousands of entries aimed at one sub-directory, fails at once
// instead of multiplying), the entries are counted, and the names and data read may not add up to
// more bytes than the section holds (real sections never share them).
class SectionReader {
 public:
  SectionReader(std::span<const std::uint8_t> section, std::uint32_t sectionRva)
      : section_(section), sectionRva_(sectionRva) {}

  ResourceTree Read() {
    for (const auto& [type, typeOffset] : Entries(0, Level::kType)) {
      for (const auto& [name, nameOffset] : Entries(typeOffset, Level::kName)) {
        for (const auto& [language, dataEntry] : Entries(nameOffset, Level::kLanguage)) {
          if (language.IsName()) throw EPeFormatError(u"A resource language is a name");
          tree_.Set(type, name, language.Id(), Data(dataEntry));
        }
      }
    }
    return std::move(tree_);
  }

 private:
  // The three levels the format has: types and names lead to directories, languages to data.
  enum class Level { kType, kName, kLanguage };

  // The entries of the directory at `offset`, with the offsets they point at.
  std::vector<std::pair<ResourceKey, std::uint32_t>> Entries(std::uint32_t offset, Level level) {
    if (!directories_.insert(offset).second) {
      throw EPeFormatError(u"The resource directory at offset " + IntToText(offset) + u" is reached twice");
    }
    const auto header = ReadRange(section_, offset, kDirectoryHeaderSize, u"A resource directory");
    const std::size_t count = std::size_t{ReadLE16(header, 12, u"")} + ReadLE16(header, 14, u"");
    entryCount_ += count;
    if (entryCount_ > kMostEntries) {
      throw EPeFormatError(u"The resource directory has more than " + IntToText(kMostEntries) + u" entries");
    }
    const auto list = ReadRange(section_, std::size_t{offset} + kDirectoryHeaderSize, kEntrySize * count,
                                u"A resource directory entry");
    std::vector<std::pair<ResourceKey, std::uint32_t>> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t key = ReadLE32(list, kEntrySize * i, u"");
      const std::uint32_t target = ReadLE32(list, kEntrySize * i + 4, u"");
      const bool toDirectory = (target & kHighBit) != 0;
      if (level == Level::kLanguage && toDirectory) {
        throw EPeFormatError(u"The resource directory is deeper than three levels");
      }
      if (level != Level::kLanguage && !toDirectory) throw EPeFormatError(u"The resource directory is malformed");
      entries.emplace_back(Key(key), target & ~kHighBit);
    }
    return entries;
  }

  ResourceKey Key(std::uint32_t key) {
    if ((key & kHighBit) == 0) {
      if (key > 0xFFFF) throw EPeFormatError(u"A resource id is out of range");
      return ResourceKey(static_cast<std::uint16_t>(key));
    }
    const std::uint32_t at = key & ~kHighBit;
    const std::uint16_t length = ReadLE16(section_, at, u"A resource name");
    const auto units = ReadRange(section_, std::size_t{at} + 2, std::size_t{length} * 2, u"A resource name");
    Spend(2 + units.size());
    std::u16string name(length, u'\0');
    for (std::size_t i = 0; i < length; ++i) name[i] = static_cast<char16_t>(units[2 * i] | units[2 * i + 1] << 8);
    return ResourceKey(name);
  }

  Bytes Data(std::uint32_t dataEntry) {
    if (!dataEntries_.insert(dataEntry).second) {
      throw EPeFormatError(u"The resource data entry at offset " + IntToText(dataEntry) + u" is reached twice");
    }
    const auto entry = ReadRange(section_, dataEntry, kDataEntrySize, u"A resource data entry");
    const std::uint32_t rva = ReadLE32(entry, 0, u"");
    const std::uint32_t size = ReadLE32(entry, 4, u"");
    if (rva < sectionRva_) throw EPeFormatError(u"Resource data lies outside the file");
    const auto data = ReadRange(section_, rva - sectionRva_, size, u"Resource data");
    Spend(data.size());
    return Bytes(data.begin(), data.end());
  }

  // Names and data are copied out: together they cannot be more than the section holds.
  void Spend(std::size_t bytes) {
    spent_ += bytes;
    if (spent_ > section_.size()) throw EPeFormatError(u"The resources overlap each other in their section");
  }

  static constexpr std::size_t kMostEntries = 65536;

  std::span<const std::uint8_t> section_;
  const std::uint32_t sectionRva_;
  std::set<std::uint32_t> directories_;
  std::set<std::uint32_t> dataEntries_;
  std::size_t entryCount_ = 0;
  std::size_t spent_ = 0;
  ResourceTree tree_;
};

}  // namespace

Bytes WriteResourceSection(const ResourceTree& tree, std::uint32_t sectionRva) {
  return SectionWriter(tree, sectionRva).Write();
}

ResourceTree ReadResourceSection(std::span<const std::uint8_t> section, std::uint32_t sectionRva) {
  return SectionReader(section, sectionRva).Read();
}

}  // namespace setup::pe
