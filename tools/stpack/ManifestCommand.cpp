// stpack manifest: the winget manifests of a product's Setup.exe, from its product file and the
// built program, and the values Intune and Chocolatey need to deploy it.
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/Text.h"
#include "crypto/Sha256.h"
#include "product/ProductDefaults.h"
#include "product/ProductFile.h"
#include "product/ProductIds.h"
#include "tools/stpack/Commands.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/DeploymentNotes.h"
#include "tools/stpack/PathText.h"
#include "tools/stpack/WingetManifest.h"

namespace setup::stpack {

namespace {
constexpr std::u16string_view kHelp =
    u"Usage: stpack manifest PRODUCT_FILE SETUP_EXE --url URL -o DIR [OPTIONS]\n"
    u"\n"
    u"Writes the winget manifests (multi-file format, manifest version 1.10.0) of the Setup.exe\n"
    u"built from PRODUCT_FILE into DIR: <ID>.yaml, <ID>.locale.en-US.yaml and\n"
    u"<ID>.installer.yaml, with the SHA-256 of SETUP_EXE and the setup program's switches and\n"
    u"exit codes. Then prints what an Intune Win32 app and a Chocolatey package need.\n"
    u"Nothing is written when a value does not fit the manifest format.\n"
    u"\n"
    u"Options:\n"
    u"  --url URL            the https address SETUP_EXE is downloaded from (required)\n"
    u"  -o, --output DIR     the folder for the manifests (required; made when missing)\n"
    u"  --id ID              the package identifier (default: Publisher.ShortName, blanks and\n"
    u"                       the characters an identifier may not hold removed)\n"
    u"  --description TEXT   the short description (default: the display name and version)\n";

constexpr std::array<OptionDefinition, 4> kOptions{{
    {u"--output", u"-o", true},
    {u"--url", u"", true},
    {u"--id", u"", true},
    {u"--description", u"", true},
}};

std::u16string FileSha256(const std::filesystem::path& path) {
  FileStream stream(TextFromPath(path), FileStream::Mode::OpenRead);
  TSha256 hash;
  hash.Init();
  std::vector<std::uint8_t> buffer(1 << 16);
  for (std::size_t got; (got = stream.Read(buffer.data(), buffer.size())) != 0;) hash.Update(buffer.data(), got);
  std::array<std::uint8_t, TSha256::kDigestBits / 8> digest{};
  hash.Final(digest.data());
  constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string hex;
  for (const std::uint8_t byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 0xF];
  }
  return hex;
}

std::u16string InstallerUrl(const ParsedArguments& arguments) {
  const auto url = arguments.Value(u"--url");
  if (!url || url->empty())
    throw Exception(u"manifest needs --url URL: the https address SETUP_EXE is downloaded from");
  // The format admits http too; a download that anyone on the way could swap is refused here.
  if (!IsWebUrl(*url) || !SameTextIgnoreCase(url->substr(0, 8), u"https://")) {
    throw Exception(u"--url \"" + *url + u"\" is not an https URL");
  }
  return *url;
}

std::u16string Identifier(const ParsedArguments& arguments, const std::u16string& publisher,
                          const std::u16string& shortName) {
  if (const auto given = arguments.Value(u"--id")) {
    if (std::u16string problem = PackageIdentifierProblem(*given); !problem.empty())
      throw Exception(u"--id: " + problem);
    return *given;
  }
  const std::u16string derived = IdentifierPart(publisher) + u"." + IdentifierPart(shortName);
  if (std::u16string problem = PackageIdentifierProblem(derived); !problem.empty()) {
    throw Exception(
        FormatText(u"no package identifier can be made from the publisher \"%s\" and the short name "
                   u"\"%s\" (%s): give one with --id",
                   {publisher, shortName, problem}));
  }
  return derived;
}

bool IsFreeware(const product::Product& product) {
  try {
    return TextToBool(product.String(product::kFreewareId));
  } catch (const Exception&) {
    throw Exception(u"Freeware is \"" + product.String(product::kFreewareId) + u"\", not true or false");
  }
}

// Each manifest goes to a temporary name first; the names are taken only when all are written,
// and an owner removes whatever is left on a failure.
class ManifestWriter {
 public:
  explicit ManifestWriter(const std::filesystem::path& folder) : folder_(folder) {}
  ~ManifestWriter() {
    std::error_code ignored;
    for (const auto& path : pending_) std::filesystem::remove(path, ignored);
  }
  ManifestWriter(const ManifestWriter&) = delete;
  ManifestWriter& operator=(const ManifestWriter&) = delete;

  void Write(const ManifestFile& file) {
    const auto path = folder_ / PathFromText(u"." + file.name + u".stpack-tmp");
    pending_.push_back(path);
    names_.push_back(folder_ / PathFromText(file.name));
    FileStream stream(TextFromPath(path), FileStream::Mode::Create);
    const std::string utf8 = ToUtf8(file.text);
    stream.WriteBuffer(utf8.data(), utf8.size());
  }
  void Commit() {
    for (std::size_t i = 0; i < pending_.size(); ++i) std::filesystem::rename(pending_[i], names_[i]);
    pending_.clear();
  }
  const std::vector<std::filesystem::path>& Names() const { return names_; }

 private:
  std::filesystem::path folder_;
  std::vector<std::filesystem::path> pending_;
  std::vector<std::filesystem::path> names_;
};

int RunManifest(const ParsedArguments& arguments) {
  const auto output = arguments.Value(u"--output");
  if (!output || output->empty()) throw EUsageError(u"manifest needs -o DIR");
  const std::u16string& productText = arguments.Positionals()[0];
  const std::u16string& setupText = arguments.Positionals()[1];
  const product::Product product = product::ReadProductFile(PathFromText(productText), productText);

  const std::filesystem::path setupPath = PathFromText(setupText);
  std::error_code error;
  if (!std::filesystem::is_regular_file(setupPath, error)) {
    throw Exception(u"the setup program \"" + setupText + u"\" does not exist or is not a file");
  }
  const std::u16string url = InstallerUrl(arguments);

  PackageFacts facts;
  const std::u16string givenPublisher = product.String(product::kPublisherEnId);
  facts.publisher = givenPublisher.empty() ? std::u16string(product::kDefaultPublisherEnglish) : givenPublisher;
  const std::u16string shortName = product.String(product::kShortNameId);
  facts.identifier = Identifier(arguments, facts.publisher, shortName);
  facts.version = product.String(product::kVersionId);
  facts.name = product.String(product::kDisplayNameEnId);
  // The Uninstall key's name: the product's identity, else the English display name (the name an
  // install on an English system registers).
  facts.productCode = product.String(product::kProductIdId);
  if (facts.productCode.empty()) facts.productCode = facts.name;
  facts.license = IsFreeware(product) ? u"Freeware" : u"Proprietary";
  facts.shortDescription = arguments.ValueOr(u"--description", facts.name + u" " + facts.version);
  const std::u16string givenWebPage = product.String(product::kWebPageEnId);
  const std::u16string webPage = givenWebPage.empty() ? std::u16string(product::kDefaultWebPageEnglish) : givenWebPage;
  if (IsWebUrl(webPage)) facts.webPage = webPage;
  const bool x86 = product.architecture == product::Architecture::X86;
  facts.architecture = x86 ? u"x86" : u"x64";
  facts.installerUrl = url;
  facts.perUser = product.scope == product::Scope::User;
  if (std::u16string problem = PackageFactsProblem(facts); !problem.empty()) throw Exception(problem);
  facts.installerSha256 = FileSha256(setupPath);

  const std::filesystem::path folder = PathFromText(*output);
  std::filesystem::create_directories(folder);
  ManifestWriter writer(folder);
  for (const ManifestFile& file : WingetManifests(facts)) writer.Write(file);
  writer.Commit();

  std::u16string report;
  for (const auto& name : writer.Names()) report += u"Wrote \"" + TextFromPath(name) + u"\"\n";
  report += DeploymentNotes(
      {TextFromPath(setupPath.filename()), shortName, facts.productCode, facts.version, x86, facts.perUser});
  WriteStdout(report);
  return 0;
}
}  // namespace

const Command& ManifestCommand() {
  static const Command command{u"manifest", kHelp, kOptions, 2, RunManifest};
  return command;
}

}  // namespace setup::stpack
