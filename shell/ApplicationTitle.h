// The application's title, the default caption of the information box (Windows only).
//
// The title belongs to the GUI layer's application object. So that this module does not depend
// on that layer, the application hands in a function that reads its current title: call
// SetApplicationTitleSource once the application object exists (the wizard sets the title to its
// form's caption). Until a source is set, and when the source is cleared with an empty function,
// the title is the program's file name without folder and extension.
#pragma once

#include <functional>
#include <string>

namespace setup {

using ApplicationTitleSource = std::function<std::u16string()>;

void SetApplicationTitleSource(ApplicationTitleSource source);
std::u16string ApplicationTitle();

}  // namespace setup
