#include "gui/Buttons.h"

namespace setup::gui {

TButton::TButton(const CreateArgs& args) { CreateControl(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, args); }

void TButton::Click() {
  if (OnClick) OnClick();
}

void TButton::OnCommand(WORD notification) {
  if (notification == BN_CLICKED) Click();
}

TCheckBox::TCheckBox(const CreateArgs& args, bool checked) {
  CreateControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, args);
  SetChecked(checked);
}

bool TCheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::OnCommand(WORD notification) {
  if (notification == BN_CLICKED && OnClick) OnClick();
}

TGroupBox::TGroupBox(const CreateArgs& args) {
  // A control parent, so that Tab reaches the controls inside the frame.
  CreateControl(L"BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT, args);
}

}  // namespace setup::gui
