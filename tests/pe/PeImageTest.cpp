#include <gtest/gtest.h>

#include <string>

#include "pe/PeErrors.h"
#include "pe/PeImage.h"
#include "pe/ResourceSection.h"
#include "tests/pe/SyntheticPe.h"

namespace setup::pe {
namespace {

using test::SyntheticPe;
using test::SyntheticSection;

Bytes Filled(std::size_t size, std::uint8_t value) { return Bytes(size, value); }

ResourceTree StubResources() {
  ResourceTree tree;
  tree.Set(rt::kManifest, 1, kLangEnglishUs, Filled(0x40, 'm'));
  return tree;
}

ResourceTree ProductResources() {
  ResourceTree tree = StubResources();
  tree.Set(rt::kRcData, u"IMAGELEFT0", kLangNeutral, Filled(0x1800, 0x5A));  // more than a page
  tree.Set(u"STPFILE", u"SETUPPACKAGE", kLangChineseSimplified, Filled(0x333, 0xC3));
  return tree;
}

struct LayoutCase {
  const char* label;
  bool pe32Plus;
  std::vector<const char*> sections;  // ".rsrc" holds the stub's resources
  std::vector<const char*> expectedNames;
  std::uint32_t resourceRva;
  std::uint32_t resourceRaw;
  std::uint32_t relocationRva;  // 0: none
  std::uint32_t sizeOfImage;
};

SyntheticPe MakeStub(const LayoutCase& c) {
  SyntheticPe stub;
  stub.pe32Plus = c.pe32Plus;
  for (std::size_t i = 0; i < c.sections.size(); ++i) {
    const std::string name = c.sections[i];
    SyntheticSection section{name, Filled(0x300, static_cast<std::uint8_t>(0x10 + i)), 0x40000040};
    if (name == ".text") section.characteristics = 0x60000020;
    if (name == ".reloc") section = {name, Filled(0x20, 0xEE), 0x42000040};
    if (name == ".rsrc") {
      section.data = WriteResourceSection(StubResources(), stub.SectionRva(i));
      stub.resourceSection = static_cast<int>(i);
    }
    if (name == ".reloc") stub.relocationSection = static_cast<int>(i);
    stub.sections.push_back(section);
  }
  return stub;
}

class ReplaceLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(ReplaceLayout, PutsTheNewResourcesLastAndFixesTheHeaders) {
  const LayoutCase& c = GetParam();
  const Bytes stubBytes = MakeStub(c).Build();
  const PeImage stub(stubBytes);
  const Bytes out = ReplaceResources(stub, ProductResources(), 0x4B000000);
  const PeImage image(out);

  std::vector<std::string> names;
  for (const Section& s : image.Sections()) names.push_back(s.name);
  EXPECT_EQ(names, std::vector<std::string>(c.expectedNames.begin(), c.expectedNames.end()));
  const Section& last = image.Sections().back();
  EXPECT_EQ(last.virtualAddress, c.resourceRva);
  EXPECT_EQ(last.rawPointer, c.resourceRaw);
  EXPECT_EQ(last.rawSize % 0x200, 0u);
  EXPECT_EQ(last.characteristics, 0x40000040u);
  EXPECT_EQ(out.size(), last.rawPointer + last.rawSize);
  EXPECT_EQ(image.Directory(kResourceDirectory).rva, c.resourceRva);
  EXPECT_EQ(image.Directory(kResourceDirectory).size, last.virtualSize);
  EXPECT_EQ(image.Directory(kRelocationDirectory).rva, c.relocationRva);
  EXPECT_EQ(image.SizeOfImage(), c.sizeOfImage);
  EXPECT_EQ(image.TimeDateStamp(), 0x4B000000u);
  // Every section but the resources holds 0x300 bytes (0x400 raw), relocations 0x200 raw.
  std::uint32_t initialized = 0;
  for (const Section& s : image.Sections()) initialized += s.rawSize;
  EXPECT_EQ(image.SizeOfInitializedData(), initialized);
  EXPECT_EQ(image.Checksum(), PeChecksum(out, 0x80 + 4 + 20 + 64));
  EXPECT_NE(image.Checksum(), 0xDEADBEEFu);
  EXPECT_EQ(image.Resources(), ProductResources());
  // The code, and relocations wherever they went, keep their bytes.
  for (const Section& s : image.Sections()) {
    const auto start = out.begin() + s.rawPointer;
    if (s.name == ".text") {
      EXPECT_EQ(Bytes(start, start + 0x300), Filled(0x300, 0x10));
    } else if (s.name == ".reloc") {
      EXPECT_EQ(Bytes(start, start + 0x20), Filled(0x20, 0xEE));
    }
  }
}

// Sections start at 0x1000 a page apart and at file offset 0x400, 0x400 bytes apart (relocations
// 0x200). The new resources hold 0x1800 + 0x333 + 0x40 bytes and the directory: two pages.
INSTANTIATE_TEST_SUITE_P(
    Stubs, ReplaceLayout,
    testing::Values(
        LayoutCase{"resources_last",
                   true,
                   {".text", ".rdata", ".rsrc"},
                   {".text", ".rdata", ".rsrc"},
                   0x3000,
                   0xC00,
                   0,
                   0x5000},
        LayoutCase{"relocations_after",
                   true,
                   {".text", ".rsrc", ".reloc"},
                   {".text", ".reloc", ".rsrc"},
                   0x3000,
                   0xA00,
                   0x2000,
                   0x5000},
        LayoutCase{
            "no_resources", true, {".text", ".reloc"}, {".text", ".reloc", ".rsrc"}, 0x3000, 0xA00, 0x2000, 0x5000},
        LayoutCase{"pe32_relocations_after",
                   false,
                   {".text", ".data", ".rsrc", ".reloc"},
                   {".text", ".data", ".reloc", ".rsrc"},
                   0x4000,
                   0xE00,
                   0x3000,
                   0x6000}),
    [](const auto& item) { return std::string(item.param.label); });

// A product's package is mapped, not copied, when its section starts on a page of the file: a
// large section moves from the next file-aligned offset (0xA00 here) to the next page, the gap
// stays zero, and nothing else moves.
TEST(ReplaceResources, PutsALargeSectionOnAPageOfTheFile) {
  const Bytes stubBytes = MakeStub({"", true, {".text", ".rsrc", ".reloc"}, {}, 0, 0, 0, 0}).Build();
  ResourceTree large = ProductResources();
  large.Set(u"STPFILE", u"SETUPPACKAGE", kLangChineseSimplified, Filled(256 * 1024, 0xC3));
  const Bytes out = ReplaceResources(PeImage(stubBytes), large, 0);
  const PeImage image(out);
  const Section& resources = image.Sections().back();
  EXPECT_EQ(resources.rawPointer, 0x1000u);
  EXPECT_EQ(resources.virtualAddress, 0x3000u);
  const Section& relocations = image.Sections()[1];
  EXPECT_EQ(relocations.rawPointer, 0x800u);
  EXPECT_EQ(Bytes(out.begin() + 0xA00, out.begin() + 0x1000), Filled(0x600, 0));
  EXPECT_EQ(out.size(), resources.rawPointer + resources.rawSize);
  EXPECT_EQ(image.Resources(), large);
  EXPECT_EQ(image.Checksum(), PeChecksum(out, 0x80 + 4 + 20 + 64));

  // A small one keeps the tighter file alignment.
  EXPECT_EQ(PeImage(ReplaceResources(PeImage(stubBytes), ProductResources(), 0)).Sections().back().rawPointer, 0xA00u);
}

TEST(ReplaceResources, SameInputsGiveTheSameBytes) {
  const Bytes stub = MakeStub({"", true, {".text", ".rsrc", ".reloc"}, {}, 0, 0, 0, 0}).Build();
  EXPECT_EQ(ReplaceResources(PeImage(stub), ProductResources(), 1),
            ReplaceResources(PeImage(stub), ProductResources(), 1));
}

struct RefusedCase {
  const char* label;
  void (*damage)(SyntheticPe& stub, Bytes& bytes);
  const char16_t* message;
};

class RefusedStub : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedStub, SaysWhy) {
  SyntheticPe stub = MakeStub({"", true, {".text", ".rsrc", ".reloc"}, {}, 0, 0, 0, 0});
  Bytes bytes;
  GetParam().damage(stub, bytes);
  if (bytes.empty()) bytes = stub.Build();
  try {
    (void)ReplaceResources(PeImage(bytes), ProductResources(), 0);
    FAIL() << "accepted";
  } catch (const EPeFormatError& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stubs, RefusedStub,
    testing::Values(RefusedCase{"signed", [](SyntheticPe& s, Bytes&) { s.signature = true; },
                                u"The stub is signed; sign the executable after its resources are written"},
                    RefusedCase{
                        "trailer", [](SyntheticPe& s, Bytes&) { s.trailer = Filled(16, 1); },
                        u"The stub carries data after its last section (symbols or a signature); use a stripped stub"},
                    RefusedCase{"data_after_resources", [](SyntheticPe& s, Bytes&) { s.sections[2].name = ".data"; },
                                u"The stub has a section other than relocations after its resources"},
                    RefusedCase{"not_mz",
                                [](SyntheticPe& s, Bytes& b) {
                                  b = s.Build();
                                  b[0] = 'X';
                                },
                                u"Not an executable (no MZ header)"},
                    RefusedCase{"not_pe",
                                [](SyntheticPe& s, Bytes& b) {
                                  b = s.Build();
                                  b[0x80] = 'X';
                                },
                                u"Not a PE executable"},
                    RefusedCase{"cut_short",
                                [](SyntheticPe& s, Bytes& b) {
                                  b = s.Build();
                                  b.resize(0x900);
                                },
                                u"A section lies outside the file"}),
    [](const auto& item) { return std::string(item.param.label); });

struct ChecksumCase {
  const char* label;
  Bytes file;
  std::size_t checksumOffset;
  std::uint32_t expected;
};

class Checksum : public testing::TestWithParam<ChecksumCase> {};

TEST_P(Checksum, IsTheFoldedWordSumPlusTheLength) {
  EXPECT_EQ(PeChecksum(GetParam().file, GetParam().checksumOffset), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, Checksum,
                         testing::Values(ChecksumCase{"odd_length", {1, 2, 3, 4, 5}, 100, 0x0609 + 5},
                                         ChecksumCase{"carries", {0xFF, 0xFF, 0xFF, 0xFF, 1, 0}, 100, 1 + 6},
                                         ChecksumCase{"field_skipped", {1, 0, 9, 9, 9, 9, 2, 0}, 2, 3 + 8}),
                         [](const auto& item) { return std::string(item.param.label); });

}  // namespace
}  // namespace setup::pe
