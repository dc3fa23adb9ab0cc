#include "gui/Edit.h"

namespace setup::gui {

TEdit::TEdit(const CreateArgs& args) {
  CreateControl(L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, args);
}

void TEdit::OnCommand(WORD notification) {
  if (notification == EN_CHANGE && OnChange) OnChange();
}

TMemo::TMemo(const CreateArgs& args) {
  CreateControl(L"EDIT", ES_LEFT | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE, args);
}

void TMemo::SetLines(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += u"\r\n";
    text += lines[i];
  }
  SetText(text);
}

std::vector<std::u16string> TMemo::Lines() const {
  std::vector<std::u16string> lines;
  const std::u16string text = Text();
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(u"\r\n", start);
    lines.push_back(text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start));
    if (end == std::u16string::npos) break;
    start = end + 2;
  }
  return lines;
}

HBRUSH TMemo::OnCtlColor(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return GetSysColorBrush(COLOR_WINDOW);
}

}  // namespace setup::gui
