// The build's reading of a picture to its end: sound pictures of each format pass, and each kind
// of damage or excess is refused with its reason.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/Text.h"
#include "product/PictureCheck.h"
#include "tests/support/TestPictures.h"

namespace setup::product {
namespace {

using testing_support::kTinyBmp;
using testing_support::kTinyGif;
using testing_support::kTinyJpeg;
using testing_support::kTinyPng;

std::vector<std::uint8_t> BytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string Replaced(std::string text, std::size_t at, const std::string& with) {
  return text.replace(at, with.size(), with);
}

// A bitmap's two headers with the given size and depth, its file size field matching `pixels`
// bytes after them.
std::string BmpHeaders(std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::size_t pixels) {
  const auto le32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  const auto le16 = [](std::uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
  return "BM" + le32(static_cast<std::uint32_t>(54 + pixels)) + le32(0) + le32(54) + le32(40) + le32(width) +
         le32(height) + le16(1) + le16(bits) + std::string(24, '\0') + std::string(pixels, '\0');
}

struct PictureCase {
  const char* label;
  std::string bytes;
  ImageFormat format;
  std::u16string problem;  // empty: the picture passes
};

class Picture : public testing::TestWithParam<PictureCase> {};

TEST_P(Picture, IsReadToItsEnd) {
  EXPECT_EQ(PictureProblem(BytesOf(GetParam().bytes), GetParam().format), GetParam().problem);
}

const std::string kJpegApp0 = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);

INSTANTIATE_TEST_SUITE_P(
    Formats, Picture,
    testing::Values(
        PictureCase{"jpeg", kTinyJpeg, ImageFormat::Jpeg, u""}, PictureCase{"png", kTinyPng, ImageFormat::Png, u""},
        PictureCase{"gif", kTinyGif, ImageFormat::Gif, u""}, PictureCase{"bmp", kTinyBmp, ImageFormat::Bmp, u""},
        PictureCase{"bmp_16384_wide", BmpHeaders(16384, 1, 24, 49152), ImageFormat::Bmp, u""},
        PictureCase{"jpeg_header_over_garbage", kJpegApp0 + "garbage, not segments", ImageFormat::Jpeg,
                    u"a marker segment is not followed by a marker"},
        PictureCase{"jpeg_segment_past_end", std::string("\xFF\xD8\xFF\xE0\x40\x00 short", 12), ImageFormat::Jpeg,
                    u"the file ends inside a marker segment"},
        PictureCase{"jpeg_no_end_marker", kTinyJpeg.substr(0, kTinyJpeg.size() - 2), ImageFormat::Jpeg,
                    u"the file ends inside the scan data"},
        PictureCase{"jpeg_no_frame", kJpegApp0 + "\xFF\xD9", ImageFormat::Jpeg, u"it ends before a frame and a scan"},
        PictureCase{"jpeg_arithmetic", Replaced(kTinyJpeg, 72, "\xC9"), ImageFormat::Jpeg,
                    u"its frame 0xFFC9 is of a kind the wizard does not decode"},
        PictureCase{"jpeg_12_bit", Replaced(kTinyJpeg, 75, "\x0C"), ImageFormat::Jpeg,
                    u"it has 12-bit samples; the wizard decodes 8-bit"},
        PictureCase{"jpeg_60000_high", Replaced(kTinyJpeg, 76, "\xEA\x60"), ImageFormat::Jpeg,
                    u"it is 1 x 60000 pixels; the wizard shows pictures of 1 to 16384 pixels a side"},
        PictureCase{"jpeg_trailing_bytes", kTinyJpeg + "tail", ImageFormat::Jpeg,
                    u"4 bytes follow the end of the picture"},
        PictureCase{"png_truncated", kTinyPng.substr(0, 50), ImageFormat::Png, u"the file ends inside a chunk"},
        PictureCase{"png_bad_ihdr_crc", Replaced(kTinyPng, 19, "\x02"), ImageFormat::Png,
                    u"the CRC of its chunk IHDR is wrong"},
        PictureCase{"png_without_idat", kTinyPng.substr(0, 33) + kTinyPng.substr(55), ImageFormat::Png,
                    u"it has no IDAT chunk"},
        PictureCase{"png_without_iend", kTinyPng.substr(0, 55), ImageFormat::Png,
                    u"the file ends inside a chunk header"},
        PictureCase{"gif_image_outside_screen", Replaced(kTinyGif, 28, "\x01"), ImageFormat::Gif,
                    u"an image lies outside the picture's screen"},
        PictureCase{"gif_no_image", kTinyGif.substr(0, 19) + ";", ImageFormat::Gif, u"it holds no image"},
        PictureCase{"gif_data_past_end", kTinyGif.substr(0, 38), ImageFormat::Gif,
                    u"the file ends inside an image's data"},
        PictureCase{"bmp_60000_square", BmpHeaders(60000, 60000, 24, 4), ImageFormat::Bmp,
                    u"it is 60000 x 60000 pixels; the wizard shows pictures of 1 to 16384 pixels a side"},
        PictureCase{"bmp_rows_past_end", BmpHeaders(100, 100, 24, 4), ImageFormat::Bmp,
                    u"its 100 rows need 30000 bytes of pixels, the file holds 4"},
        PictureCase{"bmp_7_bits", BmpHeaders(1, 1, 7, 4), ImageFormat::Bmp, u"it has 7 bits a pixel"},
        PictureCase{"bmp_file_size_lies", Replaced(kTinyBmp, 2, "\x40"), ImageFormat::Bmp,
                    u"its header gives 64 bytes, the file has 58"}),
    [](const auto& item) { return std::string(item.param.label); });

std::vector<std::uint8_t> ReadSample(const std::string& name) {
  std::ifstream in(std::string(GLYPHOR_IMAGES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SamplePictures, PassAsTheyAre) {
  EXPECT_EQ(PictureProblem(ReadSample("ImageLeft0.jpg"), ImageFormat::Jpeg), u"");
  EXPECT_EQ(PictureProblem(ReadSample("ImageLeft2.jpg"), ImageFormat::Jpeg), u"");
  EXPECT_EQ(PictureProblem(ReadSample("ImageIcon.bmp"), ImageFormat::Bmp), u"");
}

}  // namespace
}  // namespace setup::product
