// Writes small synthetic stubs into the folder given on the command line, as seeds for the PE
// fuzzer: both header kinds, with and without resources, relocations after the resources, and
// resources with names and several languages, so mutations start from every layout the writer
// handles.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pe/Bytes.h"
#include "pe/ResourceSection.h"
#include "tests/pe/SyntheticPe.h"

namespace fs = std::filesystem;
using namespace setup::pe;

namespace {

ResourceTree SmallResources() {
  ResourceTree tree;
  tree.Set(rt::kManifest, 1, kLangEnglishUs, Bytes(0x20, 'm'));
  tree.Set(rt::kRcData, u"IMAGELEFT0", kLangNeutral, Bytes(0x10, 0x5A));
  tree.Set(rt::kString, 63, kLangNeutral, Bytes(12, 0));
  tree.Set(rt::kString, 63, kLangChineseSimplified, Bytes(12, 1));
  return tree;
}

test::SyntheticPe Stub(bool pe32Plus, const std::vector<std::string>& names) {
  test::SyntheticPe stub;
  stub.pe32Plus = pe32Plus;
  for (std::size_t i = 0; i < names.size(); ++i) {
    test::SyntheticSection section{names[i], Bytes(0x30, static_cast<std::uint8_t>(0x10 + i)), 0x40000040};
    if (names[i] == ".text") section.characteristics = 0x60000020;
    if (names[i] == ".rsrc") {
      section.data = WriteResourceSection(SmallResources(), stub.SectionRva(i));
      stub.resourceSection = static_cast<int>(i);
    }
    if (names[i] == ".reloc") {
      section.characteristics = 0x42000040;
      stub.relocationSection = static_cast<int>(i);
    }
    stub.sections.push_back(section);
  }
  return stub;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: pe_fuzz_seeds <folder>\n", stderr);
    return 2;
  }
  const fs::path folder = argv[1];
  fs::create_directories(folder);
  struct Seed {
    const char* name;
    bool pe32Plus;
    std::vector<std::string> sections;
  };
  const Seed seeds[] = {
      {"resources_last.exe", true, {".text", ".rdata", ".rsrc"}},
      {"relocations_after.exe", true, {".text", ".rsrc", ".reloc"}},
      {"no_resources.exe", true, {".text", ".reloc"}},
      {"pe32_relocations_after.exe", false, {".text", ".data", ".rsrc", ".reloc"}},
      {"pe32_resources_only.exe", false, {".rsrc"}},
  };
  for (const Seed& seed : seeds) {
    const Bytes bytes = Stub(seed.pe32Plus, seed.sections).Build();
    std::ofstream out(folder / seed.name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", seed.name);
      return 1;
    }
  }
  return 0;
}
