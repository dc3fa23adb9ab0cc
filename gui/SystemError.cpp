#include "gui/SystemError.h"

#include "base/Platform.h"
#include "base/Text.h"

namespace setup::gui {

std::u16string SystemErrorText(DWORD code) { return platform::SystemErrorText(code); }

EOSError::EOSError(DWORD code)
    : Exception(FormatText(u"System Error.  Code: %d.\n%s",
                           {IntToText(static_cast<std::int64_t>(code)), SystemErrorText(code)})),
      code_(code) {}

void RaiseLastOSError() { throw EOSError(GetLastError()); }

}  // namespace setup::gui
