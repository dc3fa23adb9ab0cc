#include "wizard/gui/Bevel.h"

namespace setup::gui {

TBevel::TBevel(const CreateArgs& args) { CreateControl(L"STATIC", SS_ETCHEDHORZ, 0, args); }

}  // namespace setup::gui
