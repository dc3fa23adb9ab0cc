// stpack pack: every file below a folder into one package.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"
#include "crypto/Suite.h"
#include "package/PackageWriter.h"
#include "tools/stpack/Commands.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/PathText.h"
#include "tools/stpack/ProgressBar.h"
#include "tools/stpack/SourceTree.h"

namespace setup::stpack {

namespace {
constexpr std::u16string_view kHelp =
    u"Usage: stpack pack SOURCE_DIR -o PACKAGE [OPTIONS]\n"
    u"\n"
    u"Packs every file below SOURCE_DIR, sorted by its path in the package. A subfolder\n"
    u"becomes the target folder \"sub\\deeper\\\"; files below a top-level folder named\n"
    u"\"$System$\" go to the system folder of the machine they are installed on.\n"
    u"\n"
    u"Options:\n"
    u"  -o, --output PACKAGE   the package file to write (required)\n"
    u"  --cipher NAME          Blowfish, Cast128, Cast256, DES, 3DES, Rijndael (default),\n"
    u"                         RC4, Twofish or IDEA\n"
    u"  --hash NAME            Haval, MD5, SHA1, SHA256 (default) or SHA512\n"
    u"  --password TEXT        password of the file table (default: empty, as the wizard\n"
    u"                         extracts with none)\n"
    u"  --level N              zlib compression level 0-9 (default 9)\n"
    u"  --jobs N               compression threads (default: one per core); the package\n"
    u"                         does not depend on it\n"
    u"  --reproducible         derive salt and initial vector from the content, so the same\n"
    u"                         input gives the same bytes\n"
    u"  --allow-internal-links pack a symbolic link (or junction) to a file inside\n"
    u"                         SOURCE_DIR as that file; without it any link is refused\n"
    u"  --codepage N           ANSI code page for the table text\n";

constexpr std::array<OptionDefinition, 8> kOptions{{
    {u"--output", u"-o", true},
    {u"--cipher", u"", true},
    {u"--hash", u"", true},
    {u"--password", u"", true},
    {u"--level", u"", true},
    {u"--jobs", u"", true},
    {u"--reproducible", u"", false},
    {kAllowInternalLinksOption, u"", false},
}};

int IndexOrUsageError(int index, std::u16string_view what, std::u16string_view name) {
  if (index < 0) throw EUsageError(FormatText(u"unknown %s \"%s\" (see stpack pack --help)", {what, name}));
  return index;
}

PackageWriterOptions WriterOptions(const ParsedArguments& arguments) {
  PackageWriterOptions options;
  if (const auto cipher = arguments.Value(u"--cipher")) {
    options.cipherIndex = IndexOrUsageError(CipherIndexByName(*cipher), u"cipher", *cipher);
  }
  if (const auto hash = arguments.Value(u"--hash")) {
    options.hashIndex = IndexOrUsageError(HashIndexByName(*hash), u"hash", *hash);
  }
  options.password = arguments.ValueOr(u"--password", u"");
  options.level = static_cast<int>(arguments.NumberOr(u"--level", 0, 9, 9));
  options.jobs = static_cast<unsigned>(arguments.NumberOr(u"--jobs", 1, 1024, 0));
  options.reproducible = arguments.Has(u"--reproducible");
  return options;
}

int RunPack(const ParsedArguments& arguments) {
  const auto output = arguments.Value(u"--output");
  if (!output || output->empty()) throw EUsageError(u"pack needs -o PACKAGE");
  PackageWriterOptions options = WriterOptions(arguments);
  const std::filesystem::path outputPath = PathFromText(*output);

  const std::vector<SourceFile> files =
      ScanSourceFolder(PathFromText(arguments.Positionals()[0]), outputPath, LinkPolicyOf(arguments));
  if (files.empty()) {
    throw Exception(FormatText(u"there are no files below \"%s\"", {arguments.Positionals()[0]}));
  }
  std::vector<PackageEntry> entries;
  entries.reserve(files.size());
  std::int64_t unpacked = 0;
  for (const SourceFile& file : files) {
    entries.push_back(PackageEntry{file.folder, file.name, TextFromPath(file.path), std::nullopt});
    unpacked += static_cast<std::int64_t>(file.size);
  }

  {
    ProgressBar bar(u"Packing", StderrIsTerminal());
    options.onProgress = [&bar](std::int64_t done, std::int64_t total) {
      bar.Show(total > 0 ? done * 100 / total : 100);
    };
    WritePackage(entries, *output, options);
    bar.Show(100);
  }

  const auto packed = static_cast<std::int64_t>(std::filesystem::file_size(outputPath));
  WriteStdout(FormatText(
      u"Packed %d files (%d bytes) into \"%s\" (%d bytes)\n",
      {IntToText(static_cast<std::int64_t>(files.size())), IntToText(unpacked), *output, IntToText(packed)}));
  return kExitSuccess;
}
}  // namespace

const Command& PackCommand() {
  static const Command command{u"pack", kHelp, kOptions, 1, RunPack};
  return command;
}

}  // namespace setup::stpack
