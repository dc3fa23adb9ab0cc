// The system's ANSI code page and conversions through it.
#pragma once

#include <string>
#include <string_view>

namespace setup {

// GetACP() on Windows; on other systems 1252 unless set. A value set here takes the place of
// the system's code page for the conversions below on every platform (tests and stpack use it).
unsigned AnsiCodePage();
void SetAnsiCodePage(unsigned codePage);  // 0 returns to the system's code page

// Behave like WideCharToMultiByte / MultiByteToWideChar with no flags: characters the code
// page cannot hold become "?", bytes that form no character become "?".
std::string WideToAnsi(std::u16string_view text);
std::u16string AnsiToWide(std::string_view bytes);

}  // namespace setup
