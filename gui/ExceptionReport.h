// Reports a failure that reached an event boundary (a window procedure, the idle event, the
// form's creation): one error box, captioned with the application title.
#pragma once

namespace setup::gui {

// Call inside a catch block only; never raises.
void ReportCurrentException() noexcept;

}  // namespace setup::gui
