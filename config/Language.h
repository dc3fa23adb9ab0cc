// The language rules that both programs share, beyond the code page: products whose setup and
// uninstaller always speak English.
#pragma once

#include <string_view>

namespace setup {

// Sibling products whose setup always speaks English, whatever the code page ("Quorvel" and
// "Sindrel", compared exactly, letter case included).
bool ForcesEnglish(std::u16string_view productShortName);

}  // namespace setup
