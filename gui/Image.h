// A picture on a window: drawn at its top-left corner or centred, optionally leaving out the
// colour of its bottom-left pixel so that the parent's background shows through.
#pragma once

#include "gui/Picture.h"
#include "gui/Window.h"

namespace setup::gui {

struct TImageOptions {
  bool center = false;
  bool transparent = false;
};

class TImage final : public TWindow {
 public:
  TImage(const CreateArgs& args, TImageOptions options = {});

  const TPicture& Picture() const noexcept { return picture_; }
  void SetPicture(TPicture picture);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint(HDC dc);
  // Above 96 DPI: the picture stretched smoothly to its size at the window's DPI.
  void PaintScaled(HDC dc, const RECT& client);

  TImageOptions options_;
  TPicture picture_;
};

}  // namespace setup::gui
