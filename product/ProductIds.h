// Where a product's description lives inside Setup.exe and Uninst.exe: the string-table ids of its
// configuration strings and the names of its other resources. The wizard and the uninstaller read
// them back; stpack writes them.
#pragma once

#include <cstdint>

namespace setup::product {

// Configuration strings (the string table, language neutral).
inline constexpr std::uint16_t kMainWindowClassId = 1001;
inline constexpr std::uint16_t kMainWindowTitleEnId = 1002;
inline constexpr std::uint16_t kMainWindowTitleCnId = 1003;
inline constexpr std::uint16_t kDisplayNameEnId = 1004;
inline constexpr std::uint16_t kDisplayNameCnId = 1005;
inline constexpr std::uint16_t kFreewareId = 1009;
inline constexpr std::uint16_t kShortNameId = 1010;
inline constexpr std::uint16_t kVersionId = 1011;
inline constexpr std::uint16_t kSpaceTextId = 1012;
// Optional: the Uninstall key's publisher and web page; absent, the wizard's own defaults apply.
inline constexpr std::uint16_t kPublisherEnId = 1013;
inline constexpr std::uint16_t kPublisherCnId = 1014;
inline constexpr std::uint16_t kWebPageEnId = 1015;
inline constexpr std::uint16_t kWebPageCnId = 1016;
// Optional: the product's identity across languages and versions, the name of its Uninstall key.
inline constexpr std::uint16_t kProductIdId = 1017;
// Optional: "user" for a per-user product (no elevation, the user's own folders and registry),
// "machine" or absent for a machine-wide one.
inline constexpr std::uint16_t kScopeId = 1018;
inline constexpr std::uint16_t kFirstConfigId = 1001;
inline constexpr std::uint16_t kLastConfigId = 1018;

// RCDATA: the side banners (any picture the wizard decodes), by language index (0 Chinese,
// 2 English), and the optional licence texts (UTF-8) that replace the built-in agreement.
inline constexpr char16_t kImageLeftChinese[] = u"ImageLeft0";
inline constexpr char16_t kImageLeftEnglish[] = u"ImageLeft2";
inline constexpr char16_t kLicenseChinese[] = u"License0";
inline constexpr char16_t kLicenseEnglish[] = u"License2";
// BITMAP: the header picture.
inline constexpr char16_t kImageIcon[] = u"ImageIcon";
// Icon group: the program's icon.
inline constexpr char16_t kAppIcon[] = u"AppIcon";
// The package, of type STPFILE, in the language of the product's home market.
inline constexpr char16_t kPackageType[] = u"STPFILE";
inline constexpr char16_t kPackageName[] = u"SetupPackage";
// RCDATA of Uninst.exe: the install-folder files it removes.
inline constexpr char16_t kUninstallFiles[] = u"UNINSTALLFILES";

}  // namespace setup::product
