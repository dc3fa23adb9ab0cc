// Platform side of the code page conversions (CodePage_win.cpp / CodePage_posix.cpp).
#pragma once

#include <string>
#include <string_view>

namespace setup::platform {

unsigned SystemAnsiCodePage();
std::string WideToCodePage(unsigned codePage, std::u16string_view text);
std::u16string CodePageToWide(unsigned codePage, std::string_view bytes);

}  // namespace setup::platform
