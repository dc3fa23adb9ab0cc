#include "pe/PeImage.h"

#include <algorithm>

#include "pe/PeErrors.h"
#include "pe/ResourceSection.h"

namespace setup::pe {

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceCharacteristics = 0x40000040;  // initialised data, readable

// Offsets inside the optional header that do not depend on its kind.
constexpr std::size_t kSizeOfInitializedData = 8;
constexpr std::size_t kSectionAlignment = 32;
constexpr std::size_t kFileAlignment = 36;
constexpr std::uint32_t kPageBytes = 4096;
constexpr std::size_t kPageAlignedResourceBytes = 256 * 1024;
constexpr std::size_t kSizeOfImage = 56;
constexpr std::size_t kSizeOfHeaders = 60;
constexpr std::size_t kCheckSum = 64;

std::uint32_t VirtualEnd(const Section& section) {
  return section.virtualAddress + std::max(section.virtualSize, section.rawSize);
}

}  // namespace

PeImage::PeImage(std::span<const std::uint8_t> file) : file_(file) {
  if (ReadLE16(file, 0, u"The DOS header") != 0x5A4D) throw EPeFormatError(u"Not an executable (no MZ header)");
  const std::uint32_t peHeader = ReadLE32(file, 0x3C, u"The DOS header");
  if (ReadLE32(file, peHeader, u"The PE header") != 0x00004550) throw EPeFormatError(u"Not a PE executable");
  coffHeader_ = peHeader + 4;
  machine_ = ReadLE16(file, coffHeader_, u"The file header");
  const std::uint16_t sectionCount = ReadLE16(file, coffHeader_ + 2, u"The file header");
  const std::uint16_t optionalSize = ReadLE16(file, coffHeader_ + 16, u"The file header");
  optionalHeader_ = coffHeader_ + 20;
  const std::uint16_t magic = ReadLE16(file, optionalHeader_, u"The optional header");
  if (magic != kPe32Magic && magic != kPe32PlusMagic) throw EPeFormatError(u"Unknown optional header kind");
  pe32Plus_ = magic == kPe32PlusMagic;
  const std::size_t countField = optionalHeader_ + (pe32Plus_ ? 108 : 92);
  directoryCount_ = ReadLE32(file, countField, u"The optional header");
  dataDirectories_ = countField + 4;
  if (directoryCount_ > 16 || dataDirectories_ + 8 * std::size_t{directoryCount_} > optionalHeader_ + optionalSize) {
    throw EPeFormatError(u"The data directories do not fit the optional header");
  }
  ReadRange(file, optionalHeader_, optionalSize, u"The optional header");
  sectionTable_ = optionalHeader_ + optionalSize;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::size_t at = sectionTable_ + kSectionHeaderSize * i;
    const auto name = ReadRange(file, at, 8, u"The section table");
    Section section;
    section.name.assign(name.begin(), std::find(name.begin(), name.end(), 0));
    section.virtualSize = ReadLE32(file, at + 8, u"The section table");
    section.virtualAddress = ReadLE32(file, at + 12, u"The section table");
    section.rawSize = ReadLE32(file, at + 16, u"The section table");
    section.rawPointer = ReadLE32(file, at + 20, u"The section table");
    section.characteristics = ReadLE32(file, at + 36, u"The section table");
    ReadRange(file, section.rawPointer, section.rawSize, u"A section");
    sections_.push_back(section);
  }
}

DataDirectory PeImage::Directory(std::size_t index) const {
  if (index >= directoryCount_) return {};
  return {ReadLE32(file_, dataDirectories_ + 8 * index, u"A data directory"),
          ReadLE32(file_, dataDirectories_ + 8 * index + 4, u"A data directory")};
}

std::uint32_t PeImage::SizeOfImage() const { return ReadLE32(file_, optionalHeader_ + kSizeOfImage, u""); }
std::uint32_t PeImage::SizeOfInitializedData() const {
  return ReadLE32(file_, optionalHeader_ + kSizeOfInitializedData, u"");
}
std::uint32_t PeImage::Checksum() const { return ReadLE32(file_, optionalHeader_ + kCheckSum, u""); }
std::uint32_t PeImage::TimeDateStamp() const { return ReadLE32(file_, coffHeader_ + 4, u""); }

ResourceTree PeImage::Resources() const {
  const DataDirectory directory = Directory(kResourceDirectory);
  if (directory.rva == 0) return {};
  for (const Section& section : sections_) {
    if (directory.rva >= section.virtualAddress && directory.rva < section.virtualAddress + section.rawSize) {
      const auto bytes = ReadRange(file_, section.rawPointer, section.rawSize, u"The resource section");
      const std::uint32_t start = directory.rva - section.virtualAddress;
      return ReadResourceSection(bytes.subspan(start), directory.rva);
    }
  }
  throw EPeFormatError(u"The resource directory lies outside every section");
}

std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::size_t checksumOffset) {
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at < file.size(); at += 2) {
    if (at >= checksumOffset && at < checksumOffset + 4) continue;
    const std::uint32_t low = file[at];
    const std::uint32_t high = at + 1 < file.size() ? file[at + 1] : 0;
    sum += low | high << 8;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + file.size());
}

Bytes ReplaceResources(const PeImage& stub, const ResourceTree& tree, std::uint32_t timeDateStamp) {
  const auto file = stub.file_;
  if (stub.Directory(kCertificateDirectory).rva != 0) {
    throw EPeFormatError(u"The stub is signed; sign the executable after its resources are written");
  }
  const std::size_t optional = stub.optionalHeader_;
  const std::uint32_t sectionAlignment = ReadLE32(file, optional + kSectionAlignment, u"The optional header");
  const std::uint32_t fileAlignment = ReadLE32(file, optional + kFileAlignment, u"The optional header");
  const std::uint32_t sizeOfHeaders = ReadLE32(file, optional + kSizeOfHeaders, u"The optional header");
  if (fileAlignment == 0 || sectionAlignment == 0) throw EPeFormatError(u"The stub's alignments are zero");

  // Sections must lie in the file in the order of their addresses, with nothing after the last.
  std::vector<Section> sections = stub.sections_;
  std::uint32_t rawEnd = sizeOfHeaders;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (i > 0 && sections[i].virtualAddress < VirtualEnd(sections[i - 1])) {
      throw EPeFormatError(u"The stub's sections are not in address order");
    }
    if (sections[i].rawSize == 0) continue;
    if (sections[i].rawPointer < rawEnd) throw EPeFormatError(u"The stub's sections are not in file order");
    rawEnd = sections[i].rawPointer + sections[i].rawSize;
  }
  if (file.size() > rawEnd) {
    throw EPeFormatError(u"The stub carries data after its last section (symbols or a signature); use a stripped stub");
  }

  // The old resource section goes; relocations after it move up; the new one comes last.
  const DataDirectory oldDirectory = stub.Directory(kResourceDirectory);
  std::size_t firstMoved = sections.size();
  std::uint32_t oldResourceRawSize = 0;
  if (oldDirectory.rva != 0) {
    const auto found = std::find_if(sections.begin(), sections.end(), [&](const Section& s) {
      return oldDirectory.rva >= s.virtualAddress && oldDirectory.rva < VirtualEnd(s);
    });
    if (found == sections.end()) throw EPeFormatError(u"The resource directory lies outside every section");
    if (found->virtualAddress != oldDirectory.rva) {
      throw EPeFormatError(u"The stub's resources do not start their section");
    }
    firstMoved = static_cast<std::size_t>(found - sections.begin());
    oldResourceRawSize = found->rawSize;
    sections.erase(found);
    for (std::size_t i = firstMoved; i < sections.size(); ++i) {
      if (sections[i].name != ".reloc") {
        throw EPeFormatError(u"The stub has a section other than relocations after its resources");
      }
    }
  }
  const std::size_t tableEnd = stub.sectionTable_ + kSectionHeaderSize * (sections.size() + 1);
  const std::uint32_t firstRaw = sections.empty() ? rawEnd : sections.front().rawPointer;
  if (tableEnd > sizeOfHeaders || tableEnd > firstRaw) throw EPeFormatError(u"No room for another section header");

  // The bytes up to the first section that moves stay as they are.
  const Section* lastKept = firstMoved > 0 ? &sections[firstMoved - 1] : nullptr;
  std::uint32_t nextRaw = lastKept ? AlignUp(lastKept->rawPointer + lastKept->rawSize, fileAlignment) : sizeOfHeaders;
  std::uint32_t nextVirtual = AlignUp(lastKept ? VirtualEnd(*lastKept) : sizeOfHeaders, sectionAlignment);
  Bytes out(file.begin(), file.begin() + nextRaw);

  std::vector<std::pair<Section, std::uint32_t>> moved;  // new placement, old address
  for (std::size_t i = firstMoved; i < sections.size(); ++i) {
    Section& section = sections[i];
    const std::uint32_t oldAddress = section.virtualAddress;
    const auto raw = file.subspan(section.rawPointer, section.rawSize);
    section.virtualAddress = nextVirtual;
    section.rawPointer = nextRaw;
    out.resize(nextRaw);
    out.insert(out.end(), raw.begin(), raw.end());
    nextRaw = AlignUp(nextRaw + section.rawSize, fileAlignment);
    nextVirtual = AlignUp(VirtualEnd(section), sectionAlignment);
    moved.emplace_back(section, oldAddress);
  }

  Section resources;
  resources.name = ".rsrc";
  resources.virtualAddress = nextVirtual;
  const Bytes resourceBytes = WriteResourceSection(tree, resources.virtualAddress);
  // A large resource section (a product's package) starts on a page of the file: a loader can
  // then map its pages as they are read instead of copying the whole section at every start
  // (under Wine the copy of a 70 MB package took 90 ms before the first instruction). The gap
  // costs less than a page, so small sections keep the tighter alignment.
  resources.rawPointer = resourceBytes.size() >= kPageAlignedResourceBytes
                             ? AlignUp(nextRaw, std::max(fileAlignment, kPageBytes))
                             : nextRaw;
  resources.virtualSize = static_cast<std::uint32_t>(resourceBytes.size());
  resources.rawSize = AlignUp(resources.virtualSize, fileAlignment);
  resources.characteristics = kResourceCharacteristics;
  out.resize(resources.rawPointer);
  out.insert(out.end(), resourceBytes.begin(), resourceBytes.end());
  out.resize(resources.rawPointer + resources.rawSize);
  sections.push_back(resources);

  // Directories that pointed into a moved section follow it.
  for (std::size_t index = 0; index < stub.directoryCount_; ++index) {
    if (index == kCertificateDirectory) continue;  // a file offset, and absent
    const std::size_t at = stub.dataDirectories_ + 8 * index;
    const std::uint32_t rva = ReadLE32(out, at, u"A data directory");
    for (const auto& [section, oldAddress] : moved) {
      if (rva >= oldAddress && rva < oldAddress + std::max(section.virtualSize, section.rawSize)) {
        StoreLE32(out, at, rva - oldAddress + section.virtualAddress);
      }
    }
  }
  const std::size_t resourceEntry = stub.dataDirectories_ + 8 * kResourceDirectory;
  if (stub.directoryCount_ <= kResourceDirectory) throw EPeFormatError(u"The stub has no resource directory entry");
  StoreLE32(out, resourceEntry, resources.virtualAddress);
  StoreLE32(out, resourceEntry + 4, resources.virtualSize);

  // The section table, rewritten whole.
  StoreLE16(out, stub.coffHeader_ + 2, static_cast<std::uint16_t>(sections.size()));
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const std::size_t at = stub.sectionTable_ + kSectionHeaderSize * i;
    const Section& section = sections[i];
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(at), out.begin() + static_cast<std::ptrdiff_t>(at + 8), 0);
    std::copy(section.name.begin(), section.name.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
    StoreLE32(out, at + 8, section.virtualSize);
    StoreLE32(out, at + 12, section.virtualAddress);
    StoreLE32(out, at + 16, section.rawSize);
    StoreLE32(out, at + 20, section.rawPointer);
    for (std::size_t field = 24; field < 36; field += 4) StoreLE32(out, at + field, 0);  // none in an image
    StoreLE32(out, at + 36, section.characteristics);
  }

  StoreLE32(out, stub.coffHeader_ + 4, timeDateStamp);
  StoreLE32(out, optional + kSizeOfImage, AlignUp(VirtualEnd(resources), sectionAlignment));
  const std::uint32_t initialized = stub.SizeOfInitializedData() - oldResourceRawSize + resources.rawSize;
  StoreLE32(out, optional + kSizeOfInitializedData, initialized);
  StoreLE32(out, optional + kCheckSum, 0);
  StoreLE32(out, optional + kCheckSum, PeChecksum(out, optional + kCheckSum));
  return out;
}

}  // namespace setup::pe
