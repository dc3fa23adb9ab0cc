#include "gui/Picture.h"

#include <wincodec.h>

#include <cstring>

#include "base/Text.h"
#include "gui/SystemError.h"
#include "shell/ComPtr.h"

namespace setup::gui {

namespace {

void Check(HRESULT result, const char16_t* what) {
  if (FAILED(result)) {
    const std::u16string reason = SystemErrorText(static_cast<DWORD>(result));
    throw EInvalidGraphic(std::u16string(what) + (reason.empty() ? u"" : u": " + reason));
  }
}

// A top-down 32-bit DIB section and its pixel memory.
HBITMAP CreateDib(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

TPicture::TPicture(HBITMAP bitmap) : bitmap_(bitmap) {
  BITMAP header{};
  if (bitmap && GetObjectW(bitmap, sizeof header, &header)) {
    width_ = header.bmWidth;
    height_ = header.bmHeight < 0 ? -header.bmHeight : header.bmHeight;
  }
}

TPicture TPicture::FromJpeg(std::span<const std::byte> bytes) {
  if (bytes.empty()) throw EInvalidGraphic(u"JPEG image is empty");
  ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         factory.PutVoid()),
        u"JPEG decoder unavailable");
  ComPtr<IWICStream> stream;
  Check(factory->CreateStream(stream.Put()), u"JPEG stream");
  // The stream only reads: the resource memory is never written.
  Check(stream->InitializeFromMemory(const_cast<BYTE*>(reinterpret_cast<const BYTE*>(bytes.data())),
                                     static_cast<DWORD>(bytes.size())),
        u"JPEG stream");
  ComPtr<IWICBitmapDecoder> decoder;
  Check(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Put()),
        u"JPEG image is not readable");
  ComPtr<IWICBitmapFrameDecode> frame;
  Check(decoder->GetFrame(0, frame.Put()), u"JPEG image has no frame");
  ComPtr<IWICFormatConverter> converter;
  Check(factory->CreateFormatConverter(converter.Put()), u"JPEG conversion");
  Check(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                              WICBitmapPaletteTypeCustom),
        u"JPEG conversion");
  UINT width = 0;
  UINT height = 0;
  Check(converter->GetSize(&width, &height), u"JPEG image size");
  if (width == 0 || height == 0 || width > 16384 || height > 16384) throw EInvalidGraphic(u"JPEG image size");
  void* bits = nullptr;
  TPicture picture(CreateDib(static_cast<int>(width), static_cast<int>(height), &bits));
  if (picture.Empty()) RaiseLastOSError();
  const UINT stride = width * 4;
  Check(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)), u"JPEG decoding");
  return picture;
}

TPicture TPicture::FromBitmapResource(const wchar_t* name) {
  auto* bitmap =
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) throw EInvalidGraphic(u"Bitmap resource " + FromWide(name) + u" not found");
  return TPicture(bitmap);
}

TPicture TPicture::Copy() const {
  if (Empty()) return {};
  auto* copy = static_cast<HBITMAP>(CopyImage(Bitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!copy) RaiseLastOSError();
  return TPicture(copy);
}

COLORREF TPicture::TransparentColor() const {
  ScreenDc screen;
  MemoryDc memory(screen.Get());
  SelectedObject selected(memory.Get(), Bitmap());
  return GetPixel(memory.Get(), 0, height_ - 1);
}

}  // namespace setup::gui
