// Building the COM failures of the shell helpers from an HRESULT (Windows only).
#pragma once

#include <windows.h>

#include <string>

#include "shell/ShellErrors.h"

namespace setup {

// The system's text for an HRESULT, or "OLE error %.8x" with the code when it has none.
std::u16string OleErrorText(HRESULT result);

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", upper-case hexadecimal.
std::u16string GuidText(REFGUID guid);

// A failure of the call itself: the HRESULT's text.
EOleSysError OleSysError(HRESULT result);
// A failure to create an object of a class: "%s, ClassID: %s" with the text and the class.
EOleSysError OleClassError(HRESULT result, REFCLSID classId);

}  // namespace setup
