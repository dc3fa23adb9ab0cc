// The few facts each platform file supplies to the portable base code.
#pragma once

#include <string>

namespace setup::platform {

// The user's decimal separator from the system's locale settings.
char16_t ReadUserDecimalSeparator();

// The system's text for an error number (errno on POSIX, GetLastError on Windows).
std::u16string SystemErrorText(unsigned long code);

// Creates one folder whose parent exists.
[[nodiscard]] bool CreateOneDirectory(const std::u16string& path);

}  // namespace setup::platform
