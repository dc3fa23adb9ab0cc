// stpack build: a product's Setup.exe from its product file, with its uninstaller inside, written
// into copies of the prebuilt stubs. No compiler runs.
#include <array>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/Text.h"
#include "package/PackageWriter.h"
#include "pe/PeImage.h"
#include "product/ExecutionLevel.h"
#include "product/ProductFile.h"
#include "product/ProductIds.h"
#include "product/ProductResources.h"
#include "tools/stpack/Commands.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/PathText.h"
#include "tools/stpack/ProgramFolder.h"
#include "tools/stpack/Signing.h"
#include "tools/stpack/SourceTree.h"

namespace setup::stpack {

namespace {
constexpr std::u16string_view kHelp =
    u"Usage: stpack build PRODUCT_FILE -o SETUP_EXE [OPTIONS]\n"
    u"\n"
    u"Makes a product's Setup.exe from its product file: writes Uninst.exe with the list of\n"
    u"the install-folder files, packs it with the product's files, and writes the product's\n"
    u"strings, pictures, icon, licence texts, version information and package into a copy\n"
    u"of the setup stub. The same inputs give the same bytes (the time stamp comes from\n"
    u"SOURCE_DATE_EPOCH, or is 0).\n"
    u"\n"
    u"The stubs (setup_stub.exe and uninst_stub.exe, setup_stub_x86.exe and\n"
    u"uninst_stub_x86.exe for Architecture = x86) are looked for in --stubs DIR, then beside\n"
    u"stpack, then in the folder \"stubs\" beside it.\n"
    u"\n"
    u"A product with Scope = user is installed without elevation: both programs' manifests\n"
    u"ask for level=\"asInvoker\" instead of the stubs' \"requireAdministrator\", and its\n"
    u"files may hold no $System$ folder.\n"
    u"\n"
    u"Options:\n"
    u"  -o, --output SETUP_EXE   the setup program to write (required)\n"
    u"  --stubs DIR              the folder that holds the stubs\n"
    u"  --architecture x64|x86   the stubs to use (overrides the product file's)\n"
    u"  --uninstaller FILE       also write the generated Uninst.exe to FILE\n"
    u"  --file-list FILE         give Uninst.exe this list (UTF-8, one install-folder path a\n"
    u"                           line) instead of the files it packs; for testing uninstallers\n"
    u"  --sign-key FILE          sign both executables with this PEM key ...\n"
    u"  --sign-cert FILE         ... and this PEM certificate (override the product file's)\n"
    u"  --allow-internal-links   pack a symbolic link (or junction) to a file inside the\n"
    u"                           product's folder as that file; without it any link is refused\n"
    u"  --codepage N             ANSI code page for the package's table text\n";

constexpr std::array<OptionDefinition, 8> kOptions{{
    {u"--output", u"-o", true},
    {u"--architecture", u"", true},
    {u"--stubs", u"", true},
    {u"--uninstaller", u"", true},
    {u"--file-list", u"", true},
    {u"--sign-key", u"", true},
    {u"--sign-cert", u"", true},
    {kAllowInternalLinksOption, u"", false},
}};

constexpr std::u16string_view kUninstallerName = u"Uninst.exe";

// A private folder for the intermediate files, removed with them on every path.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::filesystem::path& near) {
    std::random_device random;
    path_ = near / ("stpack-build-" + std::to_string(random()) + ".tmp");
    std::filesystem::create_directory(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
  FileStream stream(TextFromPath(path), FileStream::Mode::OpenRead);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

void WriteAll(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  FileStream stream(TextFromPath(path), FileStream::Mode::Create);
  stream.WriteBuffer(bytes.data(), bytes.size());
}

std::uint32_t BuildTime() {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (!epoch || !*epoch) return 0;
  std::uint64_t value = 0;
  for (const char* c = epoch; *c; ++c) {
    if (*c < '0' || *c > '9') throw Exception(u"SOURCE_DATE_EPOCH is not a number of seconds");
    value = value * 10 + static_cast<std::uint64_t>(*c - '0');
    if (value > 0xFFFFFFFFu) throw Exception(u"SOURCE_DATE_EPOCH lies beyond what a PE time stamp holds");
  }
  return static_cast<std::uint32_t>(value);
}

std::filesystem::path FindStub(const ParsedArguments& arguments, const std::u16string& name) {
  std::vector<std::filesystem::path> folders;
  if (const auto stubs = arguments.Value(u"--stubs")) {
    folders.push_back(PathFromText(*stubs));
  } else if (const auto self = ProgramFolder(); !self.empty()) {
    folders = {self, self / "stubs"};
  }
  for (const auto& folder : folders) {
    std::error_code error;
    if (std::filesystem::is_regular_file(folder / PathFromText(name), error)) return folder / PathFromText(name);
  }
  throw Exception(FormatText(u"the stub %s is not in %s (see stpack build --help)",
                             {name, folders.empty() ? u"any folder" : TextFromPath(folders.front())}));
}

pe::Bytes WithResources(const std::filesystem::path& stubPath, product::Scope scope, const auto& addResources,
                        std::uint32_t time) {
  const std::vector<std::uint8_t> stubBytes = ReadAll(stubPath);
  const pe::PeImage stub(stubBytes);
  pe::ResourceTree tree = stub.Resources();
  addResources(tree);
  // A per-user product's programs start as the user; a stub whose manifest cannot be made to ask
  // for that is refused rather than shipped elevated.
  if (scope == product::Scope::User) {
    if (const std::u16string problem = product::RequestNoElevation(tree); !problem.empty()) {
      throw Exception(FormatText(u"the stub %s cannot start a per-user product (Scope = user) without elevation: %s",
                                 {TextFromPath(stubPath), problem}));
    }
  }
  return pe::ReplaceResources(stub, tree, time);
}

// A per-user install runs without elevation and cannot write the system folder.
void RefuseSystemFilesOfPerUserProduct(const product::Product& product, const std::vector<SourceFile>& files,
                                       const std::u16string& productText) {
  if (product.scope != product::Scope::User) return;
  for (const SourceFile& file : files) {
    if (file.folder.starts_with(kSystemFolderName)) {
      throw Exception(
          FormatText(u"%s:%s: Scope = user: a per-user product cannot install files into the system "
                     u"folder (%s)",
                     {productText, IntToText(static_cast<std::int64_t>(product.scopeLine)), file.packagePath}));
    }
  }
}

// The install-folder files, as Uninst.exe lists them: "\" between folders, CR LF after each.
std::string InstallFolderList(const std::vector<SourceFile>& files) {
  std::string list;
  for (const SourceFile& file : files) {
    if (file.folder.starts_with(kSystemFolderName)) continue;  // shared: kept on uninstall
    list += ToUtf8(file.packagePath) + "\r\n";
  }
  return list;
}

std::optional<product::Signing> SigningOf(const ParsedArguments& arguments, const product::Product& product) {
  const auto key = arguments.Value(u"--sign-key");
  const auto certificate = arguments.Value(u"--sign-cert");
  if (key.has_value() != certificate.has_value()) throw EUsageError(u"--sign-key and --sign-cert go together");
  if (key) return product::Signing{PathFromText(*key), PathFromText(*certificate)};
  return product.signing;
}

int RunBuild(const ParsedArguments& arguments) {
  const auto output = arguments.Value(u"--output");
  if (!output || output->empty()) throw EUsageError(u"build needs -o SETUP_EXE");
  const std::u16string& productText = arguments.Positionals()[0];
  const product::Product product = product::ReadProductFile(PathFromText(productText), productText);
  const std::optional<product::Signing> signing = SigningOf(arguments, product);
  product::Architecture architecture = product.architecture;
  if (const auto chosen = arguments.Value(u"--architecture")) {
    if (SameTextIgnoreCase(*chosen, u"x86")) {
      architecture = product::Architecture::X86;
    } else if (SameTextIgnoreCase(*chosen, u"x64")) {
      architecture = product::Architecture::X64;
    } else {
      throw EUsageError(FormatText(u"--architecture takes x64 or x86, not \"%s\"", {*chosen}));
    }
  }
  if (product.String(product::kProductIdId).empty()) {
    WriteStderr(
        FormatText(u"stpack build: warning: %s gives no ProductId, so its Uninstall key is named by the display "
                   u"name of the system's language: an install made in one language cannot be upgraded or "
                   u"found by a Setup run in the other\n",
                   {productText}));
  }
  const std::u16string suffix = architecture == product::Architecture::X86 ? u"_x86.exe" : u".exe";
  const auto setupStub = FindStub(arguments, u"setup_stub" + suffix);
  const auto uninstStub = FindStub(arguments, u"uninst_stub" + suffix);
  const std::uint32_t time = BuildTime();

  const std::filesystem::path outputPath = PathFromText(*output);
  std::vector<SourceFile> files = ScanSourceFolder(product.filesFolder, outputPath, LinkPolicyOf(arguments));
  for (const SourceFile& file : files) {
    if (file.folder.empty() && SameTextIgnoreCase(file.name, kUninstallerName)) {
      throw Exception(
          FormatText(u"%s: the product's folder already holds %s; stpack build writes the uninstaller "
                     u"itself, with the list of the files it packs: remove it from %s",
                     {productText, file.name, TextFromPath(product.filesFolder)}));
    }
  }
  RefuseSystemFilesOfPerUserProduct(product, files, productText);
  SourceFile uninstaller;
  uninstaller.packagePath = uninstaller.name = kUninstallerName;
  const auto at =
      std::lower_bound(files.begin(), files.end(), uninstaller,
                       [](const SourceFile& a, const SourceFile& b) { return a.packagePath < b.packagePath; });
  files.insert(at, uninstaller);
  const std::string fileList = arguments.Has(u"--file-list")
                                   ? [&] {
                                       const auto bytes = ReadAll(PathFromText(*arguments.Value(u"--file-list")));
                                       return std::string(bytes.begin(), bytes.end());
                                     }()
                                   : InstallFolderList(files);

  const auto outputFolder = outputPath.has_parent_path() ? outputPath.parent_path() : std::filesystem::path(".");
  ScratchFolder scratch(outputFolder);
  const auto uninstPath = scratch.Path() / PathFromText(std::u16string(kUninstallerName));
  WriteAll(uninstPath,
           WithResources(
               uninstStub, product.scope,
               [&](pe::ResourceTree& tree) { product::AddUninstallerResources(tree, product, fileList); }, time));
  if (signing) SignExecutable(uninstPath, *signing, time);

  std::vector<PackageEntry> entries;
  for (SourceFile& file : files) {
    if (file.path.empty()) file.path = uninstPath;
    entries.push_back(PackageEntry{file.folder, file.name, TextFromPath(file.path), std::nullopt});
  }
  const auto packagePath = scratch.Path() / "product.stp";
  PackageWriterOptions options;
  options.level = 9;
  options.reproducible = true;
  WritePackage(entries, TextFromPath(packagePath), options);

  const auto package = ReadAll(packagePath);
  const auto setupPath = scratch.Path() / "Setup.exe";
  WriteAll(setupPath, WithResources(
                          setupStub, product.scope,
                          [&](pe::ResourceTree& tree) { product::AddSetupResources(tree, product, package); }, time));
  if (signing) SignExecutable(setupPath, *signing, time);

  // Only complete files reach their names.
  if (const auto copy = arguments.Value(u"--uninstaller")) {
    std::filesystem::copy_file(uninstPath, PathFromText(*copy), std::filesystem::copy_options::overwrite_existing);
  }
  std::filesystem::rename(setupPath, outputPath);
  // A program, so a Linux file manager or shell may start it (under Wine) as it is.
  std::error_code ignored;
  std::filesystem::permissions(
      outputPath,
      std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add, ignored);
  WriteStdout(FormatText(u"Built \"%s\" (%d files packed, Uninst.exe among them)\n",
                         {*output, IntToText(static_cast<std::int64_t>(files.size()))}));
  return 0;
}
}  // namespace

const Command& BuildCommand() {
  static const Command command{u"build", kHelp, kOptions, 1, RunBuild};
  return command;
}

}  // namespace setup::stpack
