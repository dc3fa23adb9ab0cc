// Small PE images made by the tests: headers and a few sections, laid out as a linker lays them
// out (file alignment 0x200, section alignment 0x1000, headers 0x400 bytes).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pe/Bytes.h"

namespace setup::pe::test {

struct SyntheticSection {
  std::string name;
  pe::Bytes data;
  std::uint32_t characteristics = 0x40000040;
};

struct SyntheticPe {
  bool pe32Plus = true;
  std::vector<SyntheticSection> sections;
  int resourceSection = -1;    // index of the section the resource directory points at
  int relocationSection = -1;  // index of the section the relocation directory points at
  bool signature = false;      // a certificate directory entry
  pe::Bytes trailer;           // bytes after the last section

  static constexpr std::uint32_t kFileAlignment = 0x200;
  static constexpr std::uint32_t kSectionAlignment = 0x1000;
  static constexpr std::uint32_t kHeaders = 0x400;
  static constexpr std::uint32_t kPeHeader = 0x80;

  std::uint32_t SectionRva(std::size_t index) const {
    return kSectionAlignment * static_cast<std::uint32_t>(index + 1);
  }
  pe::Bytes Build() const;
};

}  // namespace setup::pe::test
