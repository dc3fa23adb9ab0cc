// The wizard's event handlers. The page navigation, the destination test, the folder browse and
// the install sequence are built on these entry points; until then only Cancel acts.
#include "wizard/SetupForm.h"

namespace setup {

void TForm1::ApplicationEvents1Idle() {}

void TForm1::btnNextClick() {}

void TForm1::btnPrevClick() {}

// Closes at once, without confirmation; closing the main form ends the program.
void TForm1::btnCloseClick() { Close(); }

void TForm1::btnBrowseClick() {}

void TForm1::editSetupDirChange() {}

}  // namespace setup
