#include "gui/Label.h"

#include "base/Text.h"

namespace setup::gui {

TLabel::TLabel(const CreateArgs& args, TLabelSizing sizing) : sizing_(sizing) {
  // SS_NOPREFIX: a product name with "&" shows as it stands.
  const DWORD wrap = sizing == TLabelSizing::Fixed ? SS_LEFT : SS_LEFTNOWORDWRAP;
  CreateControl(L"STATIC", wrap | SS_NOPREFIX, 0, args);
  FitToText();
}

void TLabel::FitToText() {
  if (sizing_ != TLabelSizing::ToText || !Handle()) return;
  const std::u16string text = Text();
  ScreenDc screen;
  FontHandle font = MakeFont(Font(), Dpi());
  SelectedObject selected(screen.Get(), font.Get());
  RECT rect{0, 0, 0, 0};
  if (text.empty()) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Get(), &metrics);
    rect.bottom = metrics.tmHeight;
  } else {
    DrawTextW(screen.Get(), WidePtr(text), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
  }
  const TBounds bounds = Bounds();
  MoveWindow(Handle(), bounds.left, bounds.top, rect.right, rect.bottom, TRUE);
}

}  // namespace setup::gui
