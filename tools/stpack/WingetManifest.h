// The three files of a winget multi-file manifest (version, default locale, installer) for a
// product's Setup.exe, and the rules of the format that its values must meet.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace setup::stpack {

inline constexpr std::u16string_view kManifestVersion = u"1.10.0";

struct PackageFacts {
  std::u16string identifier;  // "Publisher.Package"
  std::u16string version;
  std::u16string publisher;
  std::u16string name;  // the English display name
  std::u16string license;
  std::u16string shortDescription;
  std::optional<std::u16string> webPage;  // an http(s) URL
  std::u16string architecture;            // "x64" or "x86"
  std::u16string installerUrl;            // https
  std::u16string installerSha256;         // 64 upper-case hexadecimal digits
  std::u16string productCode;             // the Uninstall key's name
  bool perUser = false;                   // installed for the user who runs it, without elevation
};

struct ManifestFile {
  std::u16string name;  // "<identifier>.installer.yaml"
  std::u16string text;
};

// Every value checked against the format's patterns and lengths: why the facts cannot make a
// valid manifest set, or empty text.
std::u16string PackageFactsProblem(const PackageFacts& facts);

// Why `identifier` is no package identifier (2 to 8 parts of 1 to 32 characters joined by ".",
// none of them blank or one of \ / : * ? " < > | or a control character), or empty text.
std::u16string PackageIdentifierProblem(std::u16string_view identifier);

// `text` without the characters an identifier part may not hold (blanks, ".", \ / : * ? " < > |
// and control characters): "Velmora Software" gives "VelmoraSoftware".
std::u16string IdentifierPart(std::u16string_view text);

// Whether the text is a URL the format accepts: http:// or https:// and something after it.
bool IsWebUrl(std::u16string_view text);

// The version, default-locale and installer manifests, in that order.
std::array<ManifestFile, 3> WingetManifests(const PackageFacts& facts);

}  // namespace setup::stpack
