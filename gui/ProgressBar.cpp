#include "gui/ProgressBar.h"

#include <commctrl.h>

namespace setup::gui {

TProgressBar::TProgressBar(const CreateArgs& args) {
  CreateControl(PROGRESS_CLASSW, 0, 0, args);
  SendMessageW(Handle(), PBM_SETRANGE32, 0, 100);
}

int TProgressBar::Position() const { return static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0)); }

void TProgressBar::SetPosition(int position) { SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }

void TProgressBar::SetStep(int step) { SendMessageW(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0); }

}  // namespace setup::gui
