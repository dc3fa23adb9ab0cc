// stpack manifest: the three winget manifests of a small product's Setup.exe, what it prints for
// Intune and Chocolatey, and the values it refuses without writing anything.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "StpackFixture.h"
#include "tests/support/TestPictures.h"

namespace setup::testing_support {
namespace {

const std::string kBmp = std::string("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0", 14) +
                         std::string("\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0", 24) +
                         std::string(16, '\0') + std::string("\x10\x20\x30\0", 4);

const std::string kCommonKeys =
    "MainWindowClass = ProbeWindow\nMainWindowTitle = Probe\nMainWindowTitleChinese = 探针\n"
    "DisplayName = Velmora Probe\nDisplayNameChinese = 澜川探针\nShortName = Probe\nSpaceText = 1 MB\n"
    "Files = files\nImageLeft0 = left.jpg\nImageLeft2 = left.jpg\nImageIcon = icon.bmp\n";
const std::string kProduct = kCommonKeys +
                             "Freeware = true\nVersion = 1.2.3\nPublisher = Probe Works\n"
                             "WebPage = https://probe.example/\n";

// The fake program's bytes and their SHA-256, computed apart from stpack (sha256sum).
const std::string kSetupBytes = "MZ fake setup program\n";
const std::string kSetupSha256 = "665F6F4CF18DBA76918C185483CC3DAEF77FCD9E6FB21FB7BA6AFA2BE301D69D";
const std::u16string kUrl = u"https://downloads.probe.example/1.2.3/Setup.exe";

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class ManifestCommand : public StpackTest {
 public:
  void Write(const std::u16string& name, const std::string& bytes) {
    std::ofstream(Temp(name), std::ios::binary) << bytes;
  }
  using StpackTest::Temp;

 protected:
  void SetUp() override {
    std::filesystem::create_directories(Temp(u"product/files"));
    Write(u"product/product.ini", kProduct);
    Write(u"product/left.jpg", kTinyJpeg);
    Write(u"product/icon.bmp", kBmp);
    Write(u"product/files/Probe.exe", "program");
    Write(u"Setup.exe", kSetupBytes);
  }
  std::vector<std::u16string> Arguments() const {
    return {u"manifest",       Text(Temp(u"product/product.ini")), Text(Temp(u"Setup.exe")), u"--url", kUrl, u"-o",
            Text(Temp(u"out"))};
  }
  std::string Manifest(const std::u16string& name) const { return ReadText(Temp(u"out/" + name)); }
};

TEST_F(ManifestCommand, WritesTheThreeManifestsOfTheProduct) {
  const ToolResult result = Expect(0, Arguments());
  const std::string version = Manifest(u"ProbeWorks.Probe.yaml");
  const std::string locale = Manifest(u"ProbeWorks.Probe.locale.en-US.yaml");
  const std::string installer = Manifest(u"ProbeWorks.Probe.installer.yaml");

  EXPECT_EQ(version,
            "# yaml-language-server: $schema=https://aka.ms/winget-manifest.version.1.10.0.schema.json\n"
            "# Created with stpack\n"
            "\n"
            "PackageIdentifier: ProbeWorks.Probe\n"
            "PackageVersion: \"1.2.3\"\n"
            "DefaultLocale: en-US\n"
            "ManifestType: version\n"
            "ManifestVersion: \"1.10.0\"\n");

  for (const char* line :
       {"# yaml-language-server: $schema=https://aka.ms/winget-manifest.defaultLocale.1.10.0.schema.json",
        "PackageIdentifier: ProbeWorks.Probe", "PackageLocale: en-US", "Publisher: Probe Works",
        "PublisherUrl: \"https://probe.example/\"", "PackageName: Velmora Probe",
        "PackageUrl: \"https://probe.example/\"", "License: Freeware", "ShortDescription: Velmora Probe 1.2.3",
        "ManifestType: defaultLocale"}) {
    EXPECT_TRUE(HasLine(locale, line)) << line << "\n" << locale;
  }

  for (const char* line : {
           "# yaml-language-server: $schema=https://aka.ms/winget-manifest.installer.1.10.0.schema.json",
           "PackageIdentifier: ProbeWorks.Probe",
           "PackageVersion: \"1.2.3\"",
           "InstallerType: exe",
           "Scope: machine",
           "  - silentWithProgress",
           "  Silent: \"/S\"",
           "  Log: \"/LOG=\\\"<LOGPATH>\\\"\"",
           "  InstallLocation: \"/D=<INSTALLPATH>\"",
           "ElevationRequirement: elevatesSelf",
           "UpgradeBehavior: install",
           "ProductCode: Velmora Probe",
           "  - DisplayName: Velmora Probe",
           "    DisplayVersion: \"1.2.3\"",
           "    ProductCode: Velmora Probe",
           "  - Architecture: x64",
           "    InstallerUrl: \"https://downloads.probe.example/1.2.3/Setup.exe\"",
           "ManifestType: installer",
       }) {
    EXPECT_TRUE(HasLine(installer, line)) << line << "\n" << installer;
  }
  EXPECT_TRUE(HasLine(installer, "    InstallerSha256: \"" + kSetupSha256 + "\"")) << installer;
  // Every code of the table, in its order, and no entry for success.
  const std::string codes =
      "ExpectedReturnCodes:\n"
      "  - InstallerReturnCode: 1  # bad command line\n    ReturnResponse: invalidParameter\n"
      "  - InstallerReturnCode: 2  # the product is running\n    ReturnResponse: packageInUse\n"
      "  - InstallerReturnCode: 3  # unusable destination\n    ReturnResponse: contactSupport\n"
      "  - InstallerReturnCode: 4  # not enough space\n    ReturnResponse: diskFull\n"
      "  - InstallerReturnCode: 5  # damaged package\n    ReturnResponse: contactSupport\n"
      "  - InstallerReturnCode: 6  # a file could not be written\n    ReturnResponse: fileInUse\n"
      "  - InstallerReturnCode: 1602  # cancelled by the user\n    ReturnResponse: cancelledByUser\n"
      "  - InstallerReturnCode: 1618  # another install of this product is running\n"
      "    ReturnResponse: installInProgress\n"
      "  - InstallerReturnCode: 1638  # a newer version is installed and downgrading was not allowed\n"
      "    ReturnResponse: downgrade\n"
      "  - InstallerReturnCode: 3010  # installed; restart needed to replace files in use\n"
      "    ReturnResponse: rebootRequiredToFinish\n"
      "UpgradeBehavior: install\n";
  EXPECT_NE(installer.find(codes), std::string::npos) << installer;

  for (const char* line : {
           "  Install command:    Setup.exe /S",
           "  Uninstall command:  \"C:\\Program Files\\Velmora Soft\\Probe\\Uninst.exe\" /S",
           "    Key path:         HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora "
           "Probe",
           "  Install behavior:   System",
           "    Value name:       DisplayVersion",
           "    Detection method: String comparison, Equals 1.2.3",
           "    1602 Failed  (cancelled by the user)",
           "    1618 Retry  (another install of this product is running)",
           "    3010 Soft reboot  (installed; restart needed to replace files in use)",
           "  silentArgs     = '/S'",
           "  validExitCodes = @(0, 3010)",
       }) {
    EXPECT_TRUE(HasLine(result.out, line)) << line << "\n" << result.out;
  }
  EXPECT_EQ(result.err, "");
}

struct VariantCase {
  const char* label;
  std::string product;
  std::vector<std::u16string> extraArguments;
  std::u16string installerFile;
  std::vector<std::string> installerLines;
  std::vector<std::string> localeLines;
  std::vector<std::string> printed;  // lines of the standard output
  std::string absentFromLocale;      // text the locale manifest must not hold
};

class ManifestVariant : public ManifestCommand, public testing::WithParamInterface<VariantCase> {};

TEST_P(ManifestVariant, FollowsTheProductFileAndOptions) {
  Write(u"product/product.ini", GetParam().product);
  std::vector<std::u16string> arguments = Arguments();
  arguments.insert(arguments.end(), GetParam().extraArguments.begin(), GetParam().extraArguments.end());
  const ToolResult result = Expect(0, arguments);
  const std::u16string file = GetParam().installerFile;
  const std::string installer = Manifest(file + u".installer.yaml");
  const std::string locale = Manifest(file + u".locale.en-US.yaml");
  for (const std::string& line : GetParam().installerLines) EXPECT_TRUE(HasLine(installer, line)) << line;
  for (const std::string& line : GetParam().localeLines) EXPECT_TRUE(HasLine(locale, line)) << line << "\n" << locale;
  for (const std::string& line : GetParam().printed)
    EXPECT_TRUE(HasLine(result.out, line)) << line << "\n" << result.out;
  EXPECT_EQ(locale.find(GetParam().absentFromLocale), std::string::npos) << locale;
}

INSTANTIATE_TEST_SUITE_P(
    Products, ManifestVariant,
    testing::Values(
        VariantCase{
            "default_publisher_and_proprietary",
            kCommonKeys + "Freeware = false\nVersion = 4.0\n",
            {},
            u"VelmoraSoftware.Probe",
            {"PackageIdentifier: VelmoraSoftware.Probe", "    Publisher: Velmora Software"},
            {"Publisher: Velmora Software", "License: Proprietary", "PublisherUrl: \"https://www.example.com/\""},
            {"    Detection method: String comparison, Equals 4.0"},
            "probe.example"},
        VariantCase{"x86_with_id_and_description",
                    kProduct + "Architecture = x86\nProductId = Velmora.Probe\n",
                    {u"--id", u"Probe.Works.Probe", u"--description", u"Draws: probes, \"quoted\""},
                    u"Probe.Works.Probe",
                    {"PackageIdentifier: Probe.Works.Probe", "  - Architecture: x86", "ProductCode: Velmora.Probe",
                     "    ProductCode: Velmora.Probe"},
                    {"ShortDescription: \"Draws: probes, \\\"quoted\\\"\""},
                    {"  Uninstall command:  \"C:\\Program Files (x86)\\Velmora Soft\\Probe\\Uninst.exe\" /S"},
                    "ShortDescription: Velmora Probe"},
        VariantCase{"forbidden_characters_and_no_web_page",
                    kCommonKeys + "Freeware = 0\nVersion = 2.30 beta\nPublisher = A.B: Soft <Works>\n"
                                  "WebPage = mailto:probe@example.org\n",
                    {},
                    u"ABSoftWorks.Probe",
                    {"PackageVersion: \"2.30 beta\"", "    Publisher: \"A.B: Soft <Works>\""},
                    {"ShortDescription: Velmora Probe 2.30 beta", "License: Proprietary"},
                    {"    Detection method: String comparison, Equals 2.30 beta"},
                    "Url:"},
        VariantCase{
            "per_user",
            kProduct + "Scope = user\n",
            {},
            u"ProbeWorks.Probe",
            {"Scope: user", "ElevationRequirement: elevationProhibited", "  Silent: \"/S\"",
             "  SilentWithProgress: \"/S\"", "  InstallLocation: \"/D=<INSTALLPATH>\"", "ProductCode: Velmora Probe"},
            {"Publisher: Probe Works"},
            {"  Install command:    Setup.exe /S",
             "  Uninstall command:  \"%LOCALAPPDATA%\\Programs\\Probe\\Uninst.exe\" /S", "  Install behavior:   User",
             "    Key path:         "
             "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora Probe"},
            "Scope"},
        VariantCase{"per_user_x86",
                    kProduct + "Scope = user\nArchitecture = x86\n",
                    {},
                    u"ProbeWorks.Probe",
                    {"Scope: user", "ElevationRequirement: elevationProhibited", "  - Architecture: x86"},
                    {"License: Freeware"},
                    {"  Uninstall command:  \"%LOCALAPPDATA%\\Programs\\Probe\\Uninst.exe\" /S",
                     "                      (the default install folder's)",
                     "    Key path:         "
                     "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora Probe"},
                    "Scope"}),
    [](const auto& item) { return std::string(item.param.label); });

struct RefusalCase {
  const char* label;
  void (*prepare)(ManifestCommand& test, std::vector<std::u16string>& arguments);
  std::string message;  // a part of the last line on standard error
};

class ManifestRefusal : public ManifestCommand, public testing::WithParamInterface<RefusalCase> {};

TEST_P(ManifestRefusal, FailsAndWritesNothing) {
  std::vector<std::u16string> arguments = Arguments();
  GetParam().prepare(*this, arguments);
  const ToolResult result = Expect(1, arguments);
  EXPECT_NE(result.LastErrorLine().find(GetParam().message), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(Temp(u"out")));
  EXPECT_EQ(result.out, "");
}

// Replaces the value after `option`, or appends the option with the value.
void SetOption(std::vector<std::u16string>& arguments, const std::u16string& option, const std::u16string& value) {
  for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == option) {
      arguments[i + 1] = value;
      return;
    }
  }
  arguments.insert(arguments.end(), {option, value});
}

void RemoveOption(std::vector<std::u16string>& arguments, const std::u16string& option) {
  for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == option) {
      arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                      arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Values, ManifestRefusal,
                         testing::
                             Values(RefusalCase{"unknown_key",
                                                [](ManifestCommand& test, std::vector<std::u16string>&) {
                                                  test.Write(u"product/product.ini", kProduct + "Colour = red\n");
                                                },
                                                "product.ini:16: unknown key \"Colour\""},
                                    RefusalCase{"missing_product_file",
                                                [](ManifestCommand& test, std::vector<std::u16string>&) {
                                                  std::filesystem::remove(test.Temp(u"product/product.ini"));
                                                },
                                                "product.ini: "},
                                    RefusalCase{"missing_setup_program",
                                                [](ManifestCommand& test, std::vector<std::u16string>&) {
                                                  std::filesystem::remove(test.Temp(u"Setup.exe"));
                                                },
                                                "Setup.exe\" does not exist or is not a file"},
                                    RefusalCase{"missing_url",
                                                [](ManifestCommand&, std::vector<std::u16string>& arguments) {
                                                  RemoveOption(arguments, u"--url");
                                                },
                                                "manifest needs --url URL"},
                                    RefusalCase{
                                        "http_url",
                                        [](ManifestCommand&, std::vector<std::u16string>& arguments) {
                                          SetOption(arguments, u"--url", u"http://downloads.probe.example/Setup.exe");
                                        },
                                        "--url \"http://downloads.probe.example/Setup.exe\" is not an https URL"},
                                    RefusalCase{"scheme_only_url",
                                                [](ManifestCommand&, std::vector<std::u16string>& arguments) {
                                                  SetOption(arguments, u"--url", u"https://");
                                                },
                                                "--url \"https://\" is not an https URL"},
                                    RefusalCase{
                                        "id_of_one_part",
                                        [](ManifestCommand&, std::vector<std::u16string>& arguments) {
                                          SetOption(arguments, u"--id", u"Probe");
                                        },
                                        "--id: the package identifier \"Probe\" must have 2 to 8 parts joined by dots"},
                                    RefusalCase{"id_with_blank",
                                                [](ManifestCommand&, std::vector<std::u16string>& arguments) {
                                                  SetOption(arguments, u"--id", u"Probe Works.Probe");
                                                },
                                                "--id: the package identifier \"Probe Works.Probe\" holds a blank"},
                                    RefusalCase{"id_with_empty_part",
                                                [](ManifestCommand&, std::vector<std::u16string>& arguments) {
                                                  SetOption(arguments, u"--id", u"Probe..Works");
                                                },
                                                "has an empty part"},
                                    RefusalCase{
                                        "id_part_too_long",
                                        [](ManifestCommand&, std::vector<std::u16string>& arguments) {
                                          SetOption(arguments, u"--id", u"Probe.ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456");
                                        },
                                        "has a part longer than 32 characters (\"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456\")"},
                                    RefusalCase{"publisher_of_dots_only",
                                                [](ManifestCommand& test, std::vector<std::u16string>&) {
                                                  test.Write(
                                                      u"product/product.ini",
                                                      kCommonKeys + "Freeware = 1\nVersion = 1\nPublisher = ...\n");
                                                },
                                                "no package identifier can be made from the publisher \"...\" and the "
                                                "short name \"Probe\""},
                                    RefusalCase{"version_with_slash",
                                                [](ManifestCommand& test, std::vector<std::u16string>&) {
                                                  test.Write(u"product/product.ini",
                                                             kCommonKeys + "Freeware = 1\nVersion = 1.0/beta\n");
                                                },
                                                "the version \"1.0/beta\" holds a control character or one of"},
                                    RefusalCase{"description_too_short",
                                                [](ManifestCommand&, std::vector<std::u16string>& arguments) {
                                                  SetOption(arguments, u"--description", u"ab");
                                                },
                                                "the short description \"ab\" is 2 characters long; a manifest takes 3 "
                                                "to 256"}),
                         [](const auto& item) { return std::string(item.param.label); });

}  // namespace
}  // namespace setup::testing_support
