#include "product/ImageFormat.h"

#include <algorithm>
#include <array>

namespace setup::product {

namespace {

constexpr std::size_t kBmpFileHeader = 14;

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::uint32_t LE32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

ImageFormat DetectImageFormat(std::span<const std::uint8_t> bytes) {
  if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return ImageFormat::Jpeg;
  if (StartsWith(bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return ImageFormat::Png;
  if (StartsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) || StartsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'}))
    return ImageFormat::Gif;
  if (!BitmapResourceFromBmp(bytes).empty()) return ImageFormat::Bmp;
  return ImageFormat::Unknown;
}

std::u16string_view ImageFormatName(ImageFormat format) {
  switch (format) {
    case ImageFormat::Jpeg:
      return u"JPEG";
    case ImageFormat::Png:
      return u"PNG";
    case ImageFormat::Gif:
      return u"GIF";
    case ImageFormat::Bmp:
      return u"BMP";
    case ImageFormat::Unknown:
      break;
  }
  return u"no known picture format";
}

std::vector<std::uint8_t> BitmapResourceFromBmp(std::span<const std::uint8_t> bmp) {
  if (!StartsWith(bmp, {'B', 'M'}) || bmp.size() < kBmpFileHeader + 12) return {};
  const std::uint32_t fileSize = LE32(bmp, 2);
  const std::uint32_t pixelsAt = LE32(bmp, 10);
  const std::uint32_t infoSize = LE32(bmp, kBmpFileHeader);
  constexpr std::array<std::uint32_t, 6> kInfoSizes{12, 40, 52, 56, 108, 124};
  if (std::find(kInfoSizes.begin(), kInfoSizes.end(), infoSize) == kInfoSizes.end()) return {};
  if (fileSize != bmp.size() || pixelsAt < kBmpFileHeader + infoSize || pixelsAt >= bmp.size()) return {};
  return {bmp.begin() + kBmpFileHeader, bmp.end()};
}

}  // namespace setup::product
