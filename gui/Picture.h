// A picture held as a device-independent bitmap: decoded from JPEG bytes, loaded from a bitmap
// resource, or copied from another picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

#include "base/Errors.h"
#include "gui/GdiObject.h"

namespace setup::gui {

// A picture that cannot be read: "%s" with the reason.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

class TPicture {
 public:
  TPicture() = default;
  TPicture(TPicture&&) noexcept = default;
  TPicture& operator=(TPicture&&) noexcept = default;

  // Decodes a JPEG image through the platform's imaging component. The calling thread must have
  // joined a COM apartment. Raises EInvalidGraphic when the bytes are not a readable image.
  static TPicture FromJpeg(std::span<const std::byte> bytes);
  // Loads a bitmap resource of this executable; raises EInvalidGraphic when there is none.
  static TPicture FromBitmapResource(const wchar_t* name);

  // A separate picture with the same pixels.
  TPicture Copy() const;

  bool Empty() const noexcept { return !bitmap_; }
  HBITMAP Bitmap() const noexcept { return bitmap_.Get(); }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  // The colour of the bottom-left pixel, which a transparent image leaves out.
  COLORREF TransparentColor() const;

 private:
  explicit TPicture(HBITMAP bitmap);

  BitmapHandle bitmap_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace setup::gui
