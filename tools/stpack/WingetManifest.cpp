#include "tools/stpack/WingetManifest.h"

#include "base/Text.h"
#include "product/ExitCodes.h"
#include "tools/stpack/Yaml.h"

namespace setup::stpack {

namespace {

constexpr std::size_t kMaxIdentifierParts = 8;
constexpr std::size_t kMaxIdentifierPart = 32;
constexpr std::size_t kMaxIdentifier = 128;
constexpr std::size_t kMaxVersion = 128;
constexpr std::size_t kMaxUrl = 2048;
constexpr std::size_t kMaxProductCode = 255;
constexpr std::size_t kMaxText = 256;  // publisher, package name, short description

// What the format's patterns count as a blank: Unicode white space, as both ECMAScript and
// Python regular expressions read "\s".
bool IsBlank(char32_t c) {
  return c == u' ' || (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x1F) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 ||
         c == 0xFEFF;
}

bool IsForbiddenInVersion(char16_t c) {
  return (c >= 0x01 && c <= 0x1F) || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos;
}

bool IsForbiddenInIdentifier(char16_t c) { return c == u'.' || IsBlank(c) || IsForbiddenInVersion(c); }

// Lengths as the format counts them: characters, not UTF-16 code units.
std::size_t Characters(std::u16string_view text) {
  std::size_t count = 0;
  for (const char16_t c : text) count += (c >= 0xDC00 && c <= 0xDFFF) ? 0 : 1;
  return count;
}

std::u16string LengthProblem(std::u16string_view what, std::u16string_view value, std::size_t low, std::size_t high) {
  const std::size_t length = Characters(value);
  if (length >= low && length <= high) return {};
  return FormatText(u"%s \"%s\" is %s characters long; a manifest takes %s to %s",
                    {what, value, IntToText(static_cast<std::int64_t>(length)),
                     IntToText(static_cast<std::int64_t>(low)), IntToText(static_cast<std::int64_t>(high))});
}

void Header(YamlText& yaml, std::u16string_view type) {
  yaml.Comment(u"yaml-language-server: $schema=https://aka.ms/winget-manifest." + std::u16string(type) + u"." +
               std::u16string(kManifestVersion) + u".schema.json");
  yaml.Comment(u"Created with stpack");
  yaml.EmptyLine();
}

void Footer(YamlText& yaml, std::u16string_view type) {
  yaml.Entry(u"ManifestType", type);
  yaml.Entry(u"ManifestVersion", kManifestVersion);
}

std::u16string VersionManifest(const PackageFacts& facts) {
  YamlText yaml;
  Header(yaml, u"version");
  yaml.Entry(u"PackageIdentifier", facts.identifier);
  yaml.Entry(u"PackageVersion", facts.version);
  yaml.Entry(u"DefaultLocale", u"en-US");
  Footer(yaml, u"version");
  return yaml.Text();
}

std::u16string LocaleManifest(const PackageFacts& facts) {
  YamlText yaml;
  Header(yaml, u"defaultLocale");
  yaml.Entry(u"PackageIdentifier", facts.identifier);
  yaml.Entry(u"PackageVersion", facts.version);
  yaml.Entry(u"PackageLocale", u"en-US");
  yaml.Entry(u"Publisher", facts.publisher);
  if (facts.webPage) yaml.Entry(u"PublisherUrl", *facts.webPage);
  yaml.Entry(u"PackageName", facts.name);
  if (facts.webPage) yaml.Entry(u"PackageUrl", *facts.webPage);
  yaml.Entry(u"License", facts.license);
  yaml.Entry(u"ShortDescription", facts.shortDescription);
  Footer(yaml, u"defaultLocale");
  return yaml.Text();
}

std::u16string InstallerManifest(const PackageFacts& facts) {
  YamlText yaml;
  Header(yaml, u"installer");
  yaml.Entry(u"PackageIdentifier", facts.identifier);
  yaml.Entry(u"PackageVersion", facts.version);
  yaml.Entry(u"InstallerType", u"exe");
  yaml.Entry(u"Scope", facts.perUser ? u"user" : u"machine");
  yaml.Open(u"InstallModes");
  for (const std::u16string_view mode : {u"interactive", u"silent", u"silentWithProgress"}) yaml.Item(mode);
  yaml.Close();
  yaml.Open(u"InstallerSwitches");
  yaml.Entry(u"Silent", u"/S");
  yaml.Entry(u"SilentWithProgress", u"/S");
  yaml.Comment(u"The log's path is filled in as it stands and may hold blanks (a user's profile folder):");
  yaml.Comment(u"quoted, it stays one word.");
  yaml.Entry(u"Log", u"/LOG=\"<LOGPATH>\"");
  yaml.Comment(u"Setup.exe requires /D= last on its command line: the folder runs to the line's end,");
  yaml.Comment(u"blanks and all, so it needs no quotes.");
  yaml.Entry(u"InstallLocation", u"/D=<INSTALLPATH>");
  yaml.Close();
  yaml.Open(u"ExpectedReturnCodes");
  for (const product::ExitCode& code : product::kSetupExitCodes) {
    yaml.OpenItem();
    yaml.Entry(u"InstallerReturnCode", code.code, code.meaning);
    yaml.Entry(u"ReturnResponse", code.response);
    yaml.Close();
  }
  yaml.Close();
  yaml.Entry(u"UpgradeBehavior", u"install");
  if (facts.perUser) {
    // Elevated with an administrator's credentials, it would install for that administrator instead.
    yaml.Comment(u"Setup.exe's own manifest asks for no elevation: it installs for the user who runs it.");
    yaml.Entry(u"ElevationRequirement", u"elevationProhibited");
  } else {
    yaml.Comment(u"Setup.exe's own manifest asks for administrator rights.");
    yaml.Entry(u"ElevationRequirement", u"elevatesSelf");
  }
  yaml.Comment(u"The name of the product's Uninstall key.");
  yaml.Entry(u"ProductCode", facts.productCode);
  yaml.Open(u"AppsAndFeaturesEntries");
  yaml.OpenItem();
  yaml.Entry(u"DisplayName", facts.name);
  yaml.Entry(u"Publisher", facts.publisher);
  yaml.Entry(u"DisplayVersion", facts.version);
  yaml.Entry(u"ProductCode", facts.productCode);
  yaml.Close();
  yaml.Close();
  yaml.Open(u"Installers");
  yaml.OpenItem();
  yaml.Entry(u"Architecture", facts.architecture);
  yaml.Entry(u"InstallerUrl", facts.installerUrl);
  yaml.Entry(u"InstallerSha256", facts.installerSha256);
  yaml.Close();
  yaml.Close();
  Footer(yaml, u"installer");
  return yaml.Text();
}

}  // namespace

std::u16string IdentifierPart(std::u16string_view text) {
  std::u16string part;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsForbiddenInIdentifier(text[i])) part += text[i];
  }
  return part;
}

std::u16string PackageIdentifierProblem(std::u16string_view identifier) {
  const std::u16string quoted = u"the package identifier \"" + std::u16string(identifier) + u"\" ";
  if (Characters(identifier) > kMaxIdentifier) return quoted + u"is longer than 128 characters";
  std::size_t parts = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = identifier.find(u'.', start);
    const std::u16string_view part = identifier.substr(start, dot == std::u16string_view::npos ? dot : dot - start);
    ++parts;
    if (part.empty()) return quoted + u"has an empty part: its parts are joined by single dots";
    if (Characters(part) > kMaxIdentifierPart) {
      return quoted + u"has a part longer than 32 characters (\"" + std::u16string(part) + u"\")";
    }
    for (const char16_t c : part) {
      if (IsForbiddenInIdentifier(c)) {
        return quoted + u"holds a blank, a control character or one of \\ / : * ? \" < > |";
      }
    }
    if (dot == std::u16string_view::npos) break;
    start = dot + 1;
  }
  if (parts < 2 || parts > kMaxIdentifierParts) {
    return quoted + u"must have 2 to 8 parts joined by dots (Publisher.Package)";
  }
  return {};
}

bool IsWebUrl(std::u16string_view text) {
  for (const std::u16string_view scheme : {u"http://", u"https://"}) {
    if (text.size() > scheme.size() && SameTextIgnoreCase(text.substr(0, scheme.size()), scheme)) return true;
  }
  return false;
}

std::u16string PackageFactsProblem(const PackageFacts& facts) {
  if (std::u16string problem = PackageIdentifierProblem(facts.identifier); !problem.empty()) return problem;
  struct Bound {
    std::u16string_view what;
    const std::u16string& value;
    std::size_t low;
    std::size_t high;
  };
  const Bound bounds[] = {
      {u"the version", facts.version, 1, kMaxVersion},
      {u"the publisher", facts.publisher, 2, kMaxText},
      {u"the display name", facts.name, 2, kMaxText},
      {u"the short description", facts.shortDescription, 3, kMaxText},
      {u"the product code", facts.productCode, 1, kMaxProductCode},
  };
  for (const Bound& bound : bounds) {
    if (std::u16string problem = LengthProblem(bound.what, bound.value, bound.low, bound.high); !problem.empty()) {
      return problem;
    }
  }
  for (const char16_t c : facts.version) {
    if (IsForbiddenInVersion(c)) {
      return u"the version \"" + facts.version + u"\" holds a control character or one of \\ / : * ? \" < > |";
    }
  }
  for (const std::u16string* url : {&facts.installerUrl, facts.webPage ? &*facts.webPage : nullptr}) {
    if (url && (!IsWebUrl(*url) || Characters(*url) > kMaxUrl)) {
      return u"\"" + *url + u"\" is no http(s) URL of at most 2048 characters";
    }
  }
  return {};
}

std::array<ManifestFile, 3> WingetManifests(const PackageFacts& facts) {
  return {{
      {facts.identifier + u".yaml", VersionManifest(facts)},
      {facts.identifier + u".locale.en-US.yaml", LocaleManifest(facts)},
      {facts.identifier + u".installer.yaml", InstallerManifest(facts)},
  }};
}

}  // namespace setup::stpack
