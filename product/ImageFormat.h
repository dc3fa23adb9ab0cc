// Pictures a product file names, recognised by their signature and header: the banners may be any
// format the wizard's decoder reads; the header picture is a Windows bitmap resource.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace setup::product {

enum class ImageFormat { Unknown, Jpeg, Png, Gif, Bmp };

ImageFormat DetectImageFormat(std::span<const std::uint8_t> bytes);
std::u16string_view ImageFormatName(ImageFormat format);

// A .bmp file whose file header and info header agree with its length: the bitmap resource is the
// file without its 14-byte file header. Empty when the bytes are not such a file.
std::vector<std::uint8_t> BitmapResourceFromBmp(std::span<const std::uint8_t> bmp);

}  // namespace setup::product
