#include <gtest/gtest.h>

#include <string>

#include "product/ImageFormat.h"

namespace setup::product {
namespace {

std::vector<std::uint8_t> BytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// A 1x1 bitmap with a 40-byte info header; `fileSize` and `infoSize` as given.
std::string Bmp(char fileSize, char infoSize) {
  return std::string("BM") + fileSize + std::string("\0\0\0\0\0\0\0\x36\0\0\0", 11) + infoSize +
         std::string("\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0", 15) + std::string(24, '\0') + std::string(4, '\x7F');
}

struct FormatCase {
  const char* label;
  std::string bytes;
  ImageFormat format;
};

class Signature : public testing::TestWithParam<FormatCase> {};

TEST_P(Signature, NamesTheFormat) { EXPECT_EQ(DetectImageFormat(BytesOf(GetParam().bytes)), GetParam().format); }

INSTANTIATE_TEST_SUITE_P(Pictures, Signature,
                         testing::Values(FormatCase{"jpeg", "\xFF\xD8\xFF\xDB....", ImageFormat::Jpeg},
                                         FormatCase{"png", "\x89PNG\r\n\x1A\n....", ImageFormat::Png},
                                         FormatCase{"gif87", "GIF87a....", ImageFormat::Gif},
                                         FormatCase{"gif89", "GIF89a....", ImageFormat::Gif},
                                         FormatCase{"bmp", Bmp('\x3A', '\x28'), ImageFormat::Bmp},
                                         FormatCase{"bmp_wrong_size", Bmp('\x3B', '\x28'), ImageFormat::Unknown},
                                         FormatCase{"bmp_unknown_header", Bmp('\x3A', '\x29'), ImageFormat::Unknown},
                                         FormatCase{"png_cut", "\x89PNG\r\n", ImageFormat::Unknown},
                                         FormatCase{"text", "hello", ImageFormat::Unknown},
                                         FormatCase{"empty", "", ImageFormat::Unknown}),
                         [](const auto& item) { return std::string(item.param.label); });

TEST(BitmapResource, IsTheFileWithoutItsFileHeader) {
  const std::string bmp = Bmp('\x3A', '\x28');
  const auto resource = BitmapResourceFromBmp(BytesOf(bmp));
  EXPECT_EQ(resource, BytesOf(bmp.substr(14)));
}

}  // namespace
}  // namespace setup::product
