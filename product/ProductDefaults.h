// What the programs use where the product file leaves a value out, for the tools that must
// predict what an installed product shows (its Uninstall entry, its folder).
#pragma once

#include <string_view>

namespace setup::product {

inline constexpr std::u16string_view kDefaultPublisherEnglish = u"Velmora Software";
inline constexpr std::u16string_view kDefaultWebPageEnglish = u"https://www.example.com/";
// The default install folder is "%PROGRAMFILES%\<this>\<ShortName>".
inline constexpr std::u16string_view kInstallFolderParent = u"Velmora Soft";
// A per-user product's default install folder is "<this>\<ShortName>", as the environment names it.
inline constexpr std::u16string_view kPerUserProgramsFolder = u"%LOCALAPPDATA%\\Programs";
// The Uninstall entries live below this key: of HKEY_LOCAL_MACHINE for machine-wide products, of
// HKEY_CURRENT_USER for per-user ones.
inline constexpr std::u16string_view kUninstallRoot = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

}  // namespace setup::product
