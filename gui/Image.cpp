#include "gui/Image.h"

#include "gui/Dpi.h"

namespace setup::gui {

namespace {
constexpr wchar_t kImageClass[] = L"SetupImage";
}

TImage::TImage(const CreateArgs& args, TImageOptions options) : options_(options) {
  RegisterOwnClass(kImageClass);
  CreateOwnWindow(kImageClass, 0, 0, args);
}

void TImage::SetPicture(TPicture picture) {
  picture_ = std::move(picture);
  InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TImage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // Paint covers everything
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(Handle(), &paint);
      Paint(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SIZE:
      InvalidateRect(Handle(), nullptr, TRUE);
      break;
    default:
      break;
  }
  return TWindow::HandleMessage(message, wParam, lParam);
}

void TImage::Paint(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  FillRect(dc, &client, BackgroundBrush());
  if (picture_.Empty()) return;
  if (Dpi() != kDesignDpi) {
    PaintScaled(dc, client);
    return;
  }
  int x = 0;
  int y = 0;
  if (options_.center) {
    x = (client.right - picture_.Width()) / 2;
    y = (client.bottom - picture_.Height()) / 2;
  }
  // Read before the bitmap is selected here: a bitmap can be selected into one context only.
  const COLORREF transparent = options_.transparent ? picture_.TransparentColor() : CLR_INVALID;
  MemoryDc memory(dc);
  SelectedObject selected(memory.Get(), picture_.Bitmap());
  if (options_.transparent) {
    // GDI32's own export: the same call as MSIMG32's, from a DLL that is never looked up by name.
    GdiTransparentBlt(dc, x, y, picture_.Width(), picture_.Height(), memory.Get(), 0, 0, picture_.Width(),
                      picture_.Height(), transparent);
  } else {
    BitBlt(dc, x, y, picture_.Width(), picture_.Height(), memory.Get(), 0, 0, SRCCOPY);
  }
}

void TImage::PaintScaled(HDC dc, const RECT& client) {
  const int width = Scale(picture_.Width());
  const int height = Scale(picture_.Height());
  int x = 0;
  int y = 0;
  if (options_.center) {
    x = (client.right - width) / 2;
    y = (client.bottom - height) / 2;
  }
  // The picture at its own size on the background first (the transparent colour left out), so
  // the smooth stretch blends its edges into the background and not into the left-out colour.
  const COLORREF transparent = options_.transparent ? picture_.TransparentColor() : CLR_INVALID;
  MemoryDc source(dc);
  SelectedObject sourcePicture(source.Get(), picture_.Bitmap());
  MemoryDc composed(dc);
  BitmapHandle canvas(CreateCompatibleBitmap(dc, picture_.Width(), picture_.Height()));
  if (!canvas) return;
  SelectedObject composedCanvas(composed.Get(), canvas.Get());
  RECT whole{0, 0, picture_.Width(), picture_.Height()};
  FillRect(composed.Get(), &whole, BackgroundBrush());
  if (options_.transparent) {
    GdiTransparentBlt(composed.Get(), 0, 0, picture_.Width(), picture_.Height(), source.Get(), 0, 0, picture_.Width(),
                      picture_.Height(), transparent);
  } else {
    BitBlt(composed.Get(), 0, 0, picture_.Width(), picture_.Height(), source.Get(), 0, 0, SRCCOPY);
  }
  const int previousMode = SetStretchBltMode(dc, HALFTONE);
  POINT previousOrigin{};
  SetBrushOrgEx(dc, 0, 0, &previousOrigin);  // HALFTONE wants the brush origin set after the mode
  StretchBlt(dc, x, y, width, height, composed.Get(), 0, 0, picture_.Width(), picture_.Height(), SRCCOPY);
  SetBrushOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
  SetStretchBltMode(dc, previousMode);
}

}  // namespace setup::gui
