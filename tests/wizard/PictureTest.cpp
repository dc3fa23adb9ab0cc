// Pictures: JPEG decoding, bitmap resources, copies and transparent drawing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <span>
#include <vector>

#include "gui/Image.h"
#include "gui/Panel.h"
#include "gui/Picture.h"
#include "gui/Resources.h"
#include "tests/wizard/GuiTestSupport.h"

namespace setup::gui {
namespace {

class PictureTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { test::InitializeApplicationOnce(); }
};

// Reads a pixel of a bitmap through a memory device context.
COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const COLORREF color = GetPixel(memory, x, y);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return color;
}

testing::AssertionResult NearColor(COLORREF actual, COLORREF expected, int tolerance) {
  const int dr = GetRValue(actual) - GetRValue(expected);
  const int dg = GetGValue(actual) - GetGValue(expected);
  const int db = GetBValue(actual) - GetBValue(expected);
  if (std::abs(dr) <= tolerance && std::abs(dg) <= tolerance && std::abs(db) <= tolerance)
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "colour " << GetRValue(actual) << "," << GetGValue(actual) << ","
                                     << GetBValue(actual) << " instead of " << GetRValue(expected) << ","
                                     << GetGValue(expected) << "," << GetBValue(expected);
}

struct PixelCase {
  int x;
  int y;
  COLORREF color;  // as another JPEG decoder reads the sample banner
};

// Known pixels of the English banner; decoders may round the inverse transform differently, so
// a small tolerance is allowed.
TEST_F(PictureTest, DecodesTheJpegBanner) {
  const TPicture picture = TPicture::FromJpeg(ResourceBytes(RT_RCDATA, L"ImageLeft2"));
  ASSERT_FALSE(picture.Empty());
  EXPECT_EQ(picture.Width(), 160);
  EXPECT_EQ(picture.Height(), 308);
  for (const PixelCase& c :
       {PixelCase{5, 5, RGB(29, 61, 112)}, PixelCase{80, 100, RGB(247, 241, 227)}, PixelCase{50, 132, RGB(42, 64, 105)},
        PixelCase{80, 300, RGB(100, 156, 205)}, PixelCase{150, 10, RGB(61, 88, 133)}}) {
    EXPECT_TRUE(NearColor(PixelOf(picture.Bitmap(), c.x, c.y), c.color, 6)) << "at " << c.x << "," << c.y;
  }
}

struct BadJpegCase {
  const char* name;
  std::vector<unsigned char> bytes;
};

class BadJpegTest : public PictureTest, public testing::WithParamInterface<BadJpegCase> {};

TEST_P(BadJpegTest, IsRejected) {
  const std::vector<unsigned char>& bytes = GetParam().bytes;
  EXPECT_THROW(TPicture::FromJpeg(std::as_bytes(std::span(bytes))), EInvalidGraphic);
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadJpegTest,
                         testing::Values(BadJpegCase{"Empty", {}}, BadJpegCase{"NotAnImage", {'h', 'e', 'l', 'l', 'o'}},
                                         // A start-of-image marker and the beginning of a header, then nothing.
                                         BadJpegCase{"Truncated",
                                                     {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'}}),
                         [](const testing::TestParamInfo<BadJpegCase>& param) { return param.param.name; });

TEST_F(PictureTest, BitmapResourceAndItsCopy) {
  const TPicture icon = TPicture::FromBitmapResource(L"ImageIcon");
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_EQ(icon.Height(), 32);
  EXPECT_EQ(icon.TransparentColor(), RGB(255, 0, 255));
  EXPECT_EQ(PixelOf(icon.Bitmap(), 10, 5), RGB(253, 251, 244));

  const TPicture copy = icon.Copy();
  EXPECT_NE(copy.Bitmap(), icon.Bitmap());
  EXPECT_EQ(copy.Width(), 32);
  EXPECT_EQ(copy.TransparentColor(), RGB(255, 0, 255));
  EXPECT_EQ(PixelOf(copy.Bitmap(), 10, 5), RGB(253, 251, 244));

  EXPECT_THROW(TPicture::FromBitmapResource(L"NoSuchBitmap"), EInvalidGraphic);
}

// A centred transparent image leaves out the bottom-left pixel's colour: the cream panel shows
// through where the bitmap is magenta, and the drawing shows where it is not.
TEST_F(PictureTest, TransparentCentredImageOnCream) {
  test::TestForm form;
  TPanel header({.parent = &form, .width = 300, .height = 56}, kColorCream);
  TImage image({.parent = &header, .width = 67, .height = 56, .align = TAlign::Right},
               {.center = true, .transparent = true});
  image.SetPicture(TPicture::FromBitmapResource(L"ImageIcon"));

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 67, 56);
  HGDIOBJ previous = SelectObject(memory, canvas);
  SendMessageW(image.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const int left = (67 - 32) / 2;
  const int top = (56 - 32) / 2;
  const COLORREF corner = GetPixel(memory, 0, 0);
  const COLORREF keyed = GetPixel(memory, left, top + 31);  // the bitmap's bottom-left pixel
  const COLORREF drawn = GetPixel(memory, left + 10, top + 5);
  SelectObject(memory, previous);
  DeleteObject(canvas);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  EXPECT_EQ(corner, kColorCream);
  EXPECT_EQ(keyed, kColorCream);
  EXPECT_EQ(drawn, RGB(253, 251, 244));
  const TBounds bounds = image.Bounds();
  EXPECT_EQ(bounds.left, 300 - 67);
  EXPECT_EQ(bounds.height, 56);
}

}  // namespace
}  // namespace setup::gui
