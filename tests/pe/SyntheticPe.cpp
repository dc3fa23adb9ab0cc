#include "tests/pe/SyntheticPe.h"

namespace setup::pe::test {

pe::Bytes SyntheticPe::Build() const {
  pe::Bytes out(kHeaders, 0);
  out[0] = 'M';
  out[1] = 'Z';
  pe::StoreLE32(out, 0x3C, kPeHeader);
  pe::StoreLE32(out, kPeHeader, 0x00004550);
  const std::size_t coff = kPeHeader + 4;
  pe::StoreLE16(out, coff, pe32Plus ? 0x8664 : 0x014C);
  pe::StoreLE16(out, coff + 2, static_cast<std::uint16_t>(sections.size()));
  pe::StoreLE32(out, coff + 4, 0x12345678);  // a link time the writer must replace
  const std::uint16_t optionalSize = pe32Plus ? 240 : 224;
  pe::StoreLE16(out, coff + 16, optionalSize);
  pe::StoreLE16(out, coff + 18, 0x0022);
  const std::size_t optional = coff + 20;
  pe::StoreLE16(out, optional, pe32Plus ? 0x20B : 0x10B);
  std::uint32_t initialized = 0;
  for (const auto& s : sections) initialized += pe::AlignUp(static_cast<std::uint32_t>(s.data.size()), kFileAlignment);
  pe::StoreLE32(out, optional + 8, initialized);
  pe::StoreLE32(out, optional + 32, kSectionAlignment);
  pe::StoreLE32(out, optional + 36, kFileAlignment);
  pe::StoreLE32(out, optional + 56, SectionRva(sections.size()));
  pe::StoreLE32(out, optional + 60, kHeaders);
  pe::StoreLE32(out, optional + 64, 0xDEADBEEF);  // a checksum the writer must replace
  const std::size_t count = optional + (pe32Plus ? 108 : 92);
  pe::StoreLE32(out, count, 16);
  const std::size_t directories = count + 4;
  const auto directory = [&](std::size_t index, std::uint32_t rva, std::uint32_t size) {
    pe::StoreLE32(out, directories + 8 * index, rva);
    pe::StoreLE32(out, directories + 8 * index + 4, size);
  };
  if (resourceSection >= 0) {
    directory(2, SectionRva(resourceSection), static_cast<std::uint32_t>(sections[resourceSection].data.size()));
  }
  if (relocationSection >= 0) {
    directory(5, SectionRva(relocationSection), static_cast<std::uint32_t>(sections[relocationSection].data.size()));
  }
  if (signature) directory(4, 0x10000, 0x100);

  const std::size_t table = optional + optionalSize;
  std::uint32_t raw = kHeaders;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const auto& s = sections[i];
    const std::size_t at = table + 40 * i;
    for (std::size_t k = 0; k < s.name.size() && k < 8; ++k) out[at + k] = static_cast<std::uint8_t>(s.name[k]);
    const auto rawSize = pe::AlignUp(static_cast<std::uint32_t>(s.data.size()), kFileAlignment);
    pe::StoreLE32(out, at + 8, static_cast<std::uint32_t>(s.data.size()));
    pe::StoreLE32(out, at + 12, SectionRva(i));
    pe::StoreLE32(out, at + 16, rawSize);
    pe::StoreLE32(out, at + 20, raw);
    pe::StoreLE32(out, at + 36, s.characteristics);
    out.resize(raw);
    out.insert(out.end(), s.data.begin(), s.data.end());
    out.resize(raw + rawSize);
    raw += rawSize;
  }
  out.insert(out.end(), trailer.begin(), trailer.end());
  return out;
}

}  // namespace setup::pe::test
