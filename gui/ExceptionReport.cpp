#include "gui/ExceptionReport.h"

#include <windows.h>

#include <exception>
#include <new>
#include <string>

#include "base/Errors.h"
#include "base/Text.h"
#include "gui/Application.h"

namespace setup::gui {

namespace {
std::u16string CurrentExceptionText() {
  try {
    throw;
  } catch (const Exception& error) {
    return error.Message();
  } catch (const std::exception& error) {
    return FromUtf8(error.what());
  } catch (...) {
    return u"Unknown error";
  }
}
}  // namespace

void ReportCurrentException() noexcept {
  try {
    const std::u16string text = CurrentExceptionText();
    const std::u16string caption = Application().Title();
    MessageBoxW(GetActiveWindow(), WidePtr(text), WidePtr(caption), MB_OK | MB_ICONERROR);
  } catch (...) {
    // Out of memory while reporting: nothing sensible is left to show.
  }
}

}  // namespace setup::gui
