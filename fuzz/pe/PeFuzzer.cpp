// The PE reader and writer on any bytes: the bytes are read as a stub, its resources are read,
// and a package resource is written into it. A malformed stub must fail with EPeFormatError and
// nothing else; what the writer writes must read back as an image whose last section holds
// exactly the resources written, with the time stamp and checksum it was given.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "pe/PeErrors.h"
#include "pe/PeImage.h"

namespace {

using namespace setup::pe;

constexpr std::uint32_t kTimeStamp = 0x4B000000;

void CheckWritten(const Bytes& out, const ResourceTree& tree) {
  try {
    const PeImage image(out);
    if (image.Sections().empty()) std::abort();
    const Section& last = image.Sections().back();
    if (last.name != ".rsrc" || out.size() != std::size_t{last.rawPointer} + last.rawSize) std::abort();
    if (image.Directory(kResourceDirectory).rva != last.virtualAddress) std::abort();
    if (image.TimeDateStamp() != kTimeStamp) std::abort();
    // The checksum sits 64 bytes into the optional header, after the signature and file header.
    const std::size_t checksumField = std::size_t{ReadLE32(out, 0x3C, u"")} + 4 + 20 + 64;
    if (image.Checksum() != PeChecksum(out, checksumField)) std::abort();
    if (!(image.Resources() == tree)) std::abort();
  } catch (const EPeFormatError&) {
    std::abort();  // the writer wrote what its own reader refuses
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const PeImage stub(std::span<const std::uint8_t>(data, size));
    ResourceTree tree = stub.Resources();
    tree.Set(u"STPFILE", u"SETUPPACKAGE", kLangChineseSimplified,
             Bytes{0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    const Bytes out = ReplaceResources(stub, tree, kTimeStamp);
    CheckWritten(out, tree);
  } catch (const EPeFormatError&) {
    // A stub the writer refuses, with its reason.
  }
  return 0;
}
