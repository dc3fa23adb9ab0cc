// Stubs whose headers or resources point where they should not: each is refused with its reason,
// before any byte outside the file is read, and at once (a resource tree that fans out into the
// same directories again and again would otherwise be walked for billions of entries).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "pe/PeErrors.h"
#include "pe/PeImage.h"
#include "pe/ResourceSection.h"
#include "tests/pe/SyntheticPe.h"

namespace setup::pe {
namespace {

using test::SyntheticPe;
using test::SyntheticSection;

// Where SyntheticPe puts the fields these cases damage (a PE32+ image, PE header at 0x80).
constexpr std::size_t kNewHeaderField = 0x3C;
constexpr std::size_t kSectionCount = 0x80 + 4 + 2;
constexpr std::size_t kOptionalSize = 0x80 + 4 + 16;
constexpr std::size_t kOptional = 0x80 + 4 + 20;
constexpr std::size_t kFileAlignment = kOptional + 36;
constexpr std::size_t kSizeOfHeaders = kOptional + 60;
constexpr std::size_t kSectionTable = kOptional + 240;
constexpr std::uint32_t kResourceRva = 0x2000;  // the second section's

// A resource section written by hand, as a damaged file would hold it.
class RawSection {
 public:
  RawSection& Directory(std::uint16_t named, std::uint16_t numbered) {
    out_.U32(0);
    out_.U32(0);
    out_.U16(0);
    out_.U16(0);
    out_.U16(named);
    out_.U16(numbered);
    return *this;
  }
  RawSection& Entry(std::uint32_t key, std::uint32_t target) {
    out_.U32(key);
    out_.U32(target);
    return *this;
  }
  RawSection& DataEntry(std::uint32_t rva, std::uint32_t size) {
    out_.U32(rva);
    out_.U32(size);
    out_.U32(0);
    out_.U32(0);
    return *this;
  }
  RawSection& Data(std::size_t size) {
    out_.Append(Bytes(size, 0xA5));
    return *this;
  }
  Bytes Take() { return out_.Take(); }

 private:
  ByteWriter out_;
};

constexpr std::uint32_t kDirectoryBit = 0x80000000u;

// A stub with code and then resources: 0x400 bytes of headers, 0x200 of code, 0x200 or more of
// resources.
SyntheticPe Stub(Bytes resources) {
  SyntheticPe stub;
  stub.sections.push_back(SyntheticSection{".text", Bytes(0x40, 0xC3), 0x60000020});
  stub.sections.push_back(SyntheticSection{".rsrc", std::move(resources), 0x40000040});
  stub.resourceSection = 1;
  return stub;
}

Bytes GoodResources() {
  ResourceTree tree;
  tree.Set(rt::kManifest, 1, kLangEnglishUs, Bytes(0x20, 'm'));
  return WriteResourceSection(tree, kResourceRva);
}

Bytes Damaged(void (*damage)(Bytes&)) {
  Bytes bytes = Stub(GoodResources()).Build();
  damage(bytes);
  return bytes;
}

// The type and name levels list 2,000 entries, all aimed at the one directory below; the
// language level lists `languages`, all aimed at the one data entry.
Bytes FanOutToOneDirectory(std::uint16_t languages) {
  constexpr std::uint16_t kEntries = 2000;
  constexpr std::uint32_t kDirectoryBytes = 16 + 8 * kEntries;
  RawSection section;
  for (std::uint32_t level = 0; level < 2; ++level) {
    section.Directory(0, kEntries);
    for (std::uint32_t id = 1; id <= kEntries; ++id) section.Entry(id, kDirectoryBit | (kDirectoryBytes * (level + 1)));
  }
  const std::uint32_t dataEntry = 2 * kDirectoryBytes + 16 + 8 * std::uint32_t{languages};
  section.Directory(0, languages);
  for (std::uint32_t id = 1; id <= languages; ++id) section.Entry(id, dataEntry);
  return section.DataEntry(kResourceRva + dataEntry + 16, 4).Data(4).Take();
}

struct MalformedCase {
  const char* label;
  Bytes stub;
  const char16_t* message;
};

class MalformedStub : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedStub, IsRefusedAtOnceWithItsReason) {
  const auto start = std::chrono::steady_clock::now();
  try {
    const PeImage image(GetParam().stub);
    ResourceTree tree = image.Resources();
    tree.Set(u"STPFILE", u"SETUPPACKAGE", kLangChineseSimplified, Bytes(8, 1));
    (void)ReplaceResources(image, tree, 0);
    FAIL() << "accepted";
  } catch (const EPeFormatError& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

INSTANTIATE_TEST_SUITE_P(
    Stubs, MalformedStub,
    testing::Values(
        MalformedCase{"headers_past_the_end", Damaged([](Bytes& b) { StoreLE32(b, kSizeOfHeaders, 0x10000); }),
                      u"The headers (SizeOfHeaders 65536 bytes) run past the end of the file (2048 bytes)"},
        MalformedCase{"pe_header_past_the_end", Damaged([](Bytes& b) { StoreLE32(b, kNewHeaderField, 0x7FFFFFF0); }),
                      u"The DOS header points at a PE header beyond the end of the file"},
        MalformedCase{"pe_header_in_the_last_bytes", Damaged([](Bytes& b) { StoreLE32(b, kNewHeaderField, 0x7F0); }),
                      u"The DOS header points at a PE header beyond the end of the file"},
        MalformedCase{"optional_header_too_small", Damaged([](Bytes& b) { StoreLE16(b, kOptionalSize, 0x40); }),
                      u"The optional header is too small for its kind"},
        MalformedCase{"optional_header_past_the_end", Damaged([](Bytes& b) { StoreLE16(b, kOptionalSize, 0xFFFF); }),
                      u"The optional header lies outside the file"},
        MalformedCase{"section_past_the_end", Damaged([](Bytes& b) { StoreLE32(b, kSectionTable + 16, 0x10000); }),
                      u"A section lies outside the file"},
        MalformedCase{"section_pointer_past_the_end",
                      Damaged([](Bytes& b) { StoreLE32(b, kSectionTable + 20, 0xFFFFFE00); }),
                      u"A section lies outside the file"},
        MalformedCase{"section_table_past_the_headers", Damaged([](Bytes& b) { StoreLE16(b, kSectionCount, 30); }),
                      u"The section table runs past the headers (SizeOfHeaders)"},
        MalformedCase{"section_wraps_the_address_space",
                      Damaged([](Bytes& b) { StoreLE32(b, kSectionTable + 8, 0xFFFFF800); }),
                      u"A section runs past the end of the address space"},
        MalformedCase{"section_inside_the_headers", Damaged([](Bytes& b) { StoreLE32(b, kSectionTable + 12, 0); }),
                      u"A section of the stub overlaps its headers"},
        MalformedCase{"file_alignment_not_a_power_of_two",
                      Damaged([](Bytes& b) { StoreLE32(b, kFileAlignment, 0x300); }),
                      u"The stub's alignments are not powers of two with the file's at most 64 KiB and at most the "
                      u"sections'"},
        MalformedCase{"directory_loops_to_itself",
                      Stub(RawSection().Directory(0, 1).Entry(3, kDirectoryBit | 0).Take()).Build(),
                      u"The resource directory at offset 0 is reached twice"},
        MalformedCase{"levels_fan_out_to_one_directory", Stub(FanOutToOneDirectory(2000)).Build(),
                      u"The resource data entry at offset 48048 is reached twice"},
        MalformedCase{"names_fan_out_to_one_directory", Stub(FanOutToOneDirectory(1)).Build(),
                      u"The resource directory at offset 32032 is reached twice"},
        MalformedCase{"more_entries_than_a_section_needs", Stub(RawSection().Directory(0xFFFF, 0xFFFF).Take()).Build(),
                      u"The resource directory has more than 65536 entries"},
        MalformedCase{"data_entry_outside_the_section",
                      Stub(RawSection()
                               .Directory(0, 1)
                               .Entry(3, kDirectoryBit | 24)
                               .Directory(0, 1)
                               .Entry(1, kDirectoryBit | 48)
                               .Directory(0, 1)
                               .Entry(0x409, 0x7000)
                               .Take())
                          .Build(),
                      u"A resource data entry lies outside the file"},
        MalformedCase{"data_outside_the_section",
                      Stub(RawSection()
                               .Directory(0, 1)
                               .Entry(3, kDirectoryBit | 24)
                               .Directory(0, 1)
                               .Entry(1, kDirectoryBit | 48)
                               .Directory(0, 1)
                               .Entry(0x409, 72)
                               .DataEntry(kResourceRva + 0x1000, 4)
                               .Take())
                          .Build(),
                      u"Resource data lies outside the file"},
        MalformedCase{"data_entry_reached_twice",
                      Stub(RawSection()
                               .Directory(0, 1)
                               .Entry(3, kDirectoryBit | 24)
                               .Directory(0, 1)
                               .Entry(1, kDirectoryBit | 48)
                               .Directory(0, 2)
                               .Entry(0x409, 80)
                               .Entry(0x804, 80)
                               .DataEntry(kResourceRva + 96, 4)
                               .Data(4)
                               .Take())
                          .Build(),
                      u"The resource data entry at offset 80 is reached twice"},
        MalformedCase{"data_entries_overlapping",
                      Stub(RawSection()
                               .Directory(0, 1)
                               .Entry(3, kDirectoryBit | 24)
                               .Directory(0, 1)
                               .Entry(1, kDirectoryBit | 48)
                               .Directory(0, 2)
                               .Entry(0x409, 80)
                               .Entry(0x804, 96)
                               .DataEntry(kResourceRva, 300)
                               .DataEntry(kResourceRva, 300)
                               .Data(4)
                               .Take())
                          .Build(),
                      u"The resources overlap each other in their section"}),
    [](const auto& item) { return std::string(item.param.label); });

}  // namespace
}  // namespace setup::pe
