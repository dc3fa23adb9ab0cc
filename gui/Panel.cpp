#include "gui/Panel.h"

namespace setup::gui {

namespace {
constexpr wchar_t kPanelClass[] = L"SetupPanel";
}

TPanel::TPanel(const CreateArgs& args, std::optional<COLORREF> color) {
  if (color) brush_.Reset(CreateSolidBrush(*color));
  RegisterOwnClass(kPanelClass);
  // A control parent: Tab moves through the controls on the panel.
  CreateOwnWindow(kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, args);
}

HBRUSH TPanel::BackgroundBrush() const noexcept { return brush_ ? brush_.Get() : GetSysColorBrush(COLOR_BTNFACE); }

}  // namespace setup::gui
