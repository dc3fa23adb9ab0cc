#include "pe/PeImage.h"

#include <algorithm>
#include <bit>

#include "base/Text.h"
#include "pe/PeErrors.h"
#include "pe/ResourceSection.h"

namespace setup::pe {

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kNewHeaderField = 0x3C;  // where the DOS header keeps the PE header's offset
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint64_t kMostAddress = 0xFFFFFFFF;
constexpr std::uint32_t kMostFileAlignment = 64 * 1024;
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

// Image arithmetic is done in 64 bits, so that nothing wraps before it is checked.
std::uint64_t VirtualEnd(const Section& section) {
  return std::uint64_t{section.virtualAddress} + std::max(section.virtualSize, section.rawSize);
}

// `value` rounded up to a multiple of `alignment`, a power of two.
std::uint64_t AlignUp64(std::uint64_t value, std::uint32_t alignment) {
  return (value + alignment - 1) & ~(std::uint64_t{alignment} - 1);
}

std::uint32_t Fits32(std::uint64_t value) {
  if (value > kMostAddress) throw EPeFormatError(u"The image would grow past the end of the address space");
  return static_cast<std::uint32_t>(value);
}

}  // namespace

PeImage::PeImage(std::span<const std::uint8_t> file) : file_(file) {
  if (ReadLE16(file, 0, u"The DOS header") != 0x5A4D) throw EPeFormatError(u"Not an executable (no MZ header)");
  const std::uint32_t peHeader = ReadLE32(file, kNewHeaderField, u"The DOS header");
  if (peHeader > file.size() || file.size() - peHeader < 4 + kFileHeaderSize) {
    throw EPeFormatError(u"The DOS header points at a PE header beyond the end of the file");
  }
  if (ReadLE32(file, peHeader, u"The PE header") != 0x00004550) throw EPeFormatError(u"Not a PE executable");
  coffHeader_ = std::size_t{peHeader} + 4;
  machine_ = ReadLE16(file, coffHeader_, u"The file header");
  const std::uint16_t sectionCount = ReadLE16(file, coffHeader_ + 2, u"The file header");
  const std::uint16_t optionalSize = ReadLE16(file, coffHeader_ + 16, u"The file header");
  optionalHeader_ = coffHeader_ + kFileHeaderSize;
  ReadRange(file, optionalHeader_, optionalSize, u"The optional header");
  if (optionalSize < 2) throw EPeFormatError(u"The optional header is too small for its kind");
  const std::uint16_t magic = ReadLE16(file, optionalHeader_, u"The optional header");
  if (magic != kPe32Magic && magic != kPe32PlusMagic) throw EPeFormatError(u"Unknown optional header kind");
  pe32Plus_ = magic == kPe32PlusMagic;
  // Every field up to the count of data directories is read; they must all be in the header.
  const std::size_t countField = optionalHeader_ + (pe32Plus_ ? 108 : 92);
  if (countField + 4 > optionalHeader_ + optionalSize) {
    throw EPeFormatError(u"The optional header is too small for its kind");
  }
  directoryCount_ = ReadLE32(file, countField, u"The optional header");
  dataDirectories_ = countField + 4;
  if (directoryCount_ > 16 || dataDirectories_ + 8 * std::size_t{directoryCount_} > optionalHeader_ + optionalSize) {
    throw EPeFormatError(u"The data directories do not fit the optional header");
  }
  sizeOfHeaders_ = ReadLE32(file, optionalHeader_ + kSizeOfHeaders, u"The optional header");
  if (sizeOfHeaders_ > file.size()) {
    throw EPeFormatError(u"The headers (SizeOfHeaders " + IntToText(sizeOfHeaders_) +
                         u" bytes) run past the end of the file (" + IntToText(static_cast<std::int64_t>(file.size())) +
                         u" bytes)");
  }
  sectionTable_ = optionalHeader_ + optionalSize;
  if (sectionTable_ + kSectionHeaderSize * sectionCount > sizeOfHeaders_) {
    throw EPeFormatError(u"The section table runs past the headers (SizeOfHeaders)");
  }
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
    // Addresses are 32 bits: a section that would wrap around them has no place in an image.
    if (std::uint64_t{section.virtualAddress} + std::max(section.virtualSize, section.rawSize) > kMostAddress) {
      throw EPeFormatError(u"A section runs past the end of the address space");
    }
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
    if (directory.rva >= section.virtualAddress &&
        directory.rva < std::uint64_t{section.virtualAddress} + section.rawSize) {
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
  if (stub.directoryCount_ <= kResourceDirectory) throw EPeFormatError(u"The stub has no resource directory entry");
  const std::size_t optional = stub.optionalHeader_;
  const std::uint32_t sectionAlignment = ReadLE32(file, optional + kSectionAlignment, u"The optional header");
  const std::uint32_t fileAlignment = ReadLE32(file, optional + kFileAlignment, u"The optional header");
  const std::uint32_t sizeOfHeaders = stub.sizeOfHeaders_;
  // What a loader takes: powers of two, the file's no coarser than the image's. A file alignment
  // past 64 KiB would only pad the output with zeros.
  if (!std::has_single_bit(fileAlignment) || !std::has_single_bit(sectionAlignment) ||
      fileAlignment > kMostFileAlignment || sectionAlignment < fileAlignment) {
    throw EPeFormatError(
        u"The stub's alignments are not powers of two with the file's at most 64 KiB and at most "
        u"the sections'");
  }

  // Sections must lie in the file in the order of their addresses, with nothing after the last.
  std::vector<Section> sections = stub.sections_;
  std::size_t rawEnd = sizeOfHeaders;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    // The headers are mapped at address 0, and the new section goes after the last one: a
    // section inside the headers would leave it at 0, where no resources are.
    if (sections[i].virtualAddress < sizeOfHeaders) throw EPeFormatError(u"A section of the stub overlaps its headers");
    if (i > 0 && sections[i].virtualAddress < VirtualEnd(sections[i - 1])) {
      throw EPeFormatError(u"The stub's sections are not in address order");
    }
    if (sections[i].rawSize == 0) continue;
    if (sections[i].rawPointer < rawEnd) throw EPeFormatError(u"The stub's sections are not in file order");
    rawEnd = std::size_t{sections[i].rawPointer} + sections[i].rawSize;
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
  // The first section with bytes in the file ends the room for section headers.
  std::size_t firstRaw = rawEnd;
  std::size_t keptRawEnd = sizeOfHeaders;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (sections[i].rawSize == 0) continue;
    firstRaw = std::min<std::size_t>(firstRaw, sections[i].rawPointer);
    if (i < firstMoved) keptRawEnd = std::size_t{sections[i].rawPointer} + sections[i].rawSize;
  }
  const std::size_t tableEnd = stub.sectionTable_ + kSectionHeaderSize * (sections.size() + 1);
  if (tableEnd > sizeOfHeaders || tableEnd > firstRaw) throw EPeFormatError(u"No room for another section header");

  // The bytes up to the first section that moves stay as they are; a last kept section that ends
  // short of the file alignment is padded with zeros.
  const Section* lastKept = firstMoved > 0 ? &sections[firstMoved - 1] : nullptr;
  std::uint64_t nextRaw = AlignUp64(keptRawEnd, fileAlignment);
  std::uint64_t nextVirtual = AlignUp64(lastKept ? VirtualEnd(*lastKept) : sizeOfHeaders, sectionAlignment);
  Bytes out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(nextRaw, file.size())));

  std::vector<std::pair<Section, std::uint32_t>> moved;  // new placement, old address
  for (std::size_t i = firstMoved; i < sections.size(); ++i) {
    Section& section = sections[i];
    const std::uint32_t oldAddress = section.virtualAddress;
    const auto raw = file.subspan(section.rawPointer, section.rawSize);
    section.virtualAddress = Fits32(nextVirtual);
    section.rawPointer = Fits32(nextRaw);
    out.resize(section.rawPointer);
    out.insert(out.end(), raw.begin(), raw.end());
    nextRaw = AlignUp64(nextRaw + section.rawSize, fileAlignment);
    nextVirtual = AlignUp64(VirtualEnd(section), sectionAlignment);
    moved.emplace_back(section, oldAddress);
  }

  Section resources;
  resources.name = ".rsrc";
  resources.virtualAddress = Fits32(nextVirtual);
  const Bytes resourceBytes = WriteResourceSection(tree, resources.virtualAddress);
  // A large resource section (a product's package) starts on a page of the file: a loader can
  // then map its pages as they are read instead of copying the whole section at every start
  // (under Wine the copy of a 70 MB package took 90 ms before the first instruction). The gap
  // costs less than a page, so small sections keep the tighter alignment.
  resources.rawPointer =
      Fits32(resourceBytes.size() >= kPageAlignedResourceBytes ? AlignUp64(nextRaw, std::max(fileAlignment, kPageBytes))
                                                               : nextRaw);
  resources.virtualSize = Fits32(resourceBytes.size());
  resources.rawSize = Fits32(AlignUp64(resources.virtualSize, fileAlignment));
  const std::uint32_t sizeOfImage = Fits32(AlignUp64(VirtualEnd(resources), sectionAlignment));
  resources.characteristics = kResourceCharacteristics;
  out.resize(resources.rawPointer);
  out.insert(out.end(), resourceBytes.begin(), resourceBytes.end());
  out.resize(std::size_t{resources.rawPointer} + resources.rawSize);
  sections.push_back(resources);

  // Directories that pointed into a moved section follow it.
  for (std::size_t index = 0; index < stub.directoryCount_; ++index) {
    if (index == kCertificateDirectory) continue;  // a file offset, and absent
    const std::size_t at = stub.dataDirectories_ + 8 * index;
    const std::uint32_t rva = ReadLE32(out, at, u"A data directory");
    for (const auto& [section, oldAddress] : moved) {
      if (rva >= oldAddress && rva < std::uint64_t{oldAddress} + std::max(section.virtualSize, section.rawSize)) {
        StoreLE32(out, at, rva - oldAddress + section.virtualAddress);
      }
    }
  }
  const std::size_t resourceEntry = stub.dataDirectories_ + 8 * kResourceDirectory;
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
    StoreLE32(out, at + 20, section.rawSize == 0 ? 0 : section.rawPointer);              // no bytes, no place
    for (std::size_t field = 24; field < 36; field += 4) StoreLE32(out, at + field, 0);  // none in an image
    StoreLE32(out, at + 36, section.characteristics);
  }

  StoreLE32(out, stub.coffHeader_ + 4, timeDateStamp);
  StoreLE32(out, optional + kSizeOfImage, sizeOfImage);
  const std::uint32_t before = stub.SizeOfInitializedData();
  const std::uint32_t initialized = (before > oldResourceRawSize ? before - oldResourceRawSize : 0) + resources.rawSize;
  StoreLE32(out, optional + kSizeOfInitializedData, initialized);
  StoreLE32(out, optional + kCheckSum, 0);
  StoreLE32(out, optional + kCheckSum, PeChecksum(out, optional + kCheckSum));
  return out;
}

}  // namespace setup::pe
