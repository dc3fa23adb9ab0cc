// A PE32 or PE32+ executable as the resource writer sees it: its headers, its section table and
// its resource section.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pe/Bytes.h"
#include "pe/ResourceTree.h"

namespace setup::pe {

struct Section {
  std::string name;  // up to 8 characters
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawPointer = 0;
  std::uint32_t characteristics = 0;
};

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

class PeImage {
 public:
  // Raises EPeFormatError when the bytes are not a PE image whose headers and sections lie
  // inside the file: every offset and size in the headers is checked before it is used.
  explicit PeImage(std::span<const std::uint8_t> file);

  bool IsPe32Plus() const { return pe32Plus_; }
  std::uint16_t Machine() const { return machine_; }
  const std::vector<Section>& Sections() const { return sections_; }
  DataDirectory Directory(std::size_t index) const;
  std::uint32_t SizeOfImage() const;
  std::uint32_t SizeOfInitializedData() const;
  std::uint32_t Checksum() const;
  std::uint32_t TimeDateStamp() const;
  // The resources: an empty tree for an image without any.
  ResourceTree Resources() const;

 private:
  friend Bytes ReplaceResources(const PeImage& stub, const ResourceTree& tree, std::uint32_t timeDateStamp);
  std::span<const std::uint8_t> file_;
  std::size_t coffHeader_ = 0;
  std::size_t optionalHeader_ = 0;
  std::size_t sectionTable_ = 0;
  std::size_t dataDirectories_ = 0;
  std::uint32_t directoryCount_ = 0;
  std::uint32_t sizeOfHeaders_ = 0;  // within the file
  std::uint16_t machine_ = 0;
  bool pe32Plus_ = false;
  std::vector<Section> sections_;
};

inline constexpr std::size_t kResourceDirectory = 2;
inline constexpr std::size_t kCertificateDirectory = 4;
inline constexpr std::size_t kRelocationDirectory = 5;

// The stub with its resource section replaced by one that holds `tree`, placed as the last
// section (a relocation section that followed the old one moves up in front of it), and with the
// section table, the image size, the size of initialised data, the resource directory, the time
// stamp and the checksum fixed. Raises EPeFormatError for a stub that is signed, carries data
// after its last section, or has sections other than relocations after its resources.
Bytes ReplaceResources(const PeImage& stub, const ResourceTree& tree, std::uint32_t timeDateStamp);

// The PE checksum of a whole file whose checksum field sits at `checksumOffset` (that field is
// counted as zero): the 16-bit one's complement-style sum with carries folded, plus the length.
std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::size_t checksumOffset);

}  // namespace setup::pe
