#include "pe/VersionInfo.h"

#include <functional>
#include <utility>
#include <vector>

#include "pe/PeErrors.h"

namespace setup::pe {

namespace {

constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;

// One node of the block: its length, value length and type come first, then its key, padded to
// 32 bits, its value, padded, and its children. The length is patched once the node is complete.
// Both lengths are 16-bit: a node that does not fit raises rather than store a wrapped length.
void Node(ByteWriter& out, std::u16string_view key, std::size_t valueLength, std::uint16_t type,
          const std::function<void()>& value, const std::function<void()>& children) {
  out.PadTo(4);
  const std::size_t start = out.Size();
  if (valueLength > 0xFFFF) throw EPeFormatError(u"A version information text is longer than its length holds");
  out.U16(0);
  out.U16(static_cast<std::uint16_t>(valueLength));
  out.U16(type);
  out.Utf16(key, true);
  out.PadTo(4);
  if (value) value();
  if (children) children();
  if (out.Size() - start > 0xFFFF) {
    throw EPeFormatError(u"The version information is longer than its 16-bit lengths hold");
  }
  StoreLE16(out.Buffer(), start, static_cast<std::uint16_t>(out.Size() - start));
}

}  // namespace

std::array<std::uint16_t, 4> VersionNumbers(std::u16string_view text) {
  std::array<std::uint16_t, 4> numbers{};
  std::size_t at = 0;
  for (std::size_t part = 0; part < numbers.size(); ++part) {
    std::uint32_t value = 0;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9' && digits < 5) {
      value = value * 10 + static_cast<std::uint32_t>(text[at++] - u'0');
      ++digits;
    }
    if (digits == 0) break;
    numbers[part] = static_cast<std::uint16_t>(std::min<std::uint32_t>(value, 0xFFFF));
    if (at >= text.size() || text[at] != u'.') break;
    ++at;
  }
  return numbers;
}

Bytes BuildVersionInfo(const VersionFields& fields) {
  const auto numbers = VersionNumbers(fields.productVersion);
  const std::uint32_t versionMs = static_cast<std::uint32_t>(numbers[0]) << 16 | numbers[1];
  const std::uint32_t versionLs = static_cast<std::uint32_t>(numbers[2]) << 16 | numbers[3];
  const std::vector<std::pair<std::u16string_view, std::u16string_view>> strings{
      {u"CompanyName", fields.companyName},           {u"FileDescription", fields.fileDescription},
      {u"FileVersion", fields.productVersion},        {u"LegalCopyright", fields.legalCopyright},
      {u"OriginalFilename", fields.originalFilename}, {u"ProductName", fields.productName},
      {u"ProductVersion", fields.productVersion},
  };

  ByteWriter out;
  constexpr std::uint16_t kFixedInfoSize = 52;
  const auto fixedInfo = [&] {
    out.U32(0xFEEF04BD);  // signature
    out.U32(0x00010000);  // structure version
    out.U32(versionMs);   // file version
    out.U32(versionLs);
    out.U32(versionMs);  // product version
    out.U32(versionLs);
    out.U32(0x3F);     // flags mask
    out.U32(0);        // flags
    out.U32(0x40004);  // Windows NT, 32-bit interface
    out.U32(1);        // an application
    out.U32(0);        // subtype
    out.U32(0);        // date: none, so the bytes do not depend on the clock
    out.U32(0);
  };
  const auto stringTable = [&] {
    Node(out, u"040904B0", 0, kText, nullptr, [&] {
      for (const auto& [key, text] : strings) {
        if (text.empty()) continue;
        Node(
            out, key, text.size() + 1, kText, [&, t = text] { out.Utf16(t, true); }, nullptr);
      }
    });
  };
  const auto translation = [&] {
    Node(
        out, u"Translation", 4, kBinary,
        [&] {
          out.U16(0x0409);  // US English
          out.U16(1200);    // UTF-16
        },
        nullptr);
  };
  Node(out, u"VS_VERSION_INFO", kFixedInfoSize, kBinary, fixedInfo, [&] {
    Node(out, u"StringFileInfo", 0, kText, nullptr, stringTable);
    Node(out, u"VarFileInfo", 0, kText, nullptr, translation);
  });
  return out.Take();
}

}  // namespace setup::pe
