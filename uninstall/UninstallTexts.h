// What the uninstaller says, in the wizard's two languages. Every language decision tests the
// language index against 0 (Chinese); any other value is English.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// The language of the uninstaller's texts: the start-up language, except for the products whose
// setup always speaks English (their short name, compared exactly), like the wizard's form does.
std::int32_t UninstallLanguageIndex(std::int32_t startupLanguageIndex, std::u16string_view productShortName);

// The question asked before anything is removed; N is the product's display name.
std::u16string ConfirmRemovalText(std::int32_t languageIndex, std::u16string_view displayName);

// The message after a complete removal.
std::u16string RemovedText(std::int32_t languageIndex, std::u16string_view displayName);

// The one message that names every file left behind (full paths, one a line).
std::u16string NotRemovedText(std::int32_t languageIndex, std::u16string_view displayName,
                              const std::vector<std::u16string>& filesLeft);

// The message when the uninstaller's own file list cannot be read; `reason` is the error's text.
std::u16string DamagedUninstallerText(std::int32_t languageIndex, std::u16string_view reason);

}  // namespace setup
