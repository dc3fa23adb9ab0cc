// stpack extract: the files of a package, written exactly as the setup wizard writes them.
#include <array>
#include <filesystem>
#include <string>

#include "base/Errors.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "package/Extract.h"
#include "package/PackageReader.h"
#include "tools/stpack/Commands.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/PathText.h"
#include "tools/stpack/ProgressBar.h"
#include "tools/stpack/TableCheck.h"

namespace setup::stpack {

namespace {
constexpr std::u16string_view kHelp =
    u"Usage: stpack extract PACKAGE DEST [--password TEXT] [--system-dir DIR]\n"
    u"\n"
    u"Extracts every file of the package below DEST, as the setup wizard does. Files for\n"
    u"the system folder (rows \"$System$\" and \"$Third$\") go to DIR; a file already there\n"
    u"is left as it is.\n"
    u"\n"
    u"Options:\n"
    u"  --password TEXT    password of the file table (default: empty)\n"
    u"  --system-dir DIR   folder that stands for the system folder; required when the\n"
    u"                     package has such rows (never the real system folder by default)\n"
    u"  --codepage N       ANSI code page for the table text\n";

constexpr std::array<OptionDefinition, 2> kOptions{{
    {u"--password", u"", true},
    {u"--system-dir", u"", true},
}};

// The folder as an absolute path with a separator at its end, as ExtractPackage expects.
std::u16string FolderText(const std::u16string& folder) {
  return IncludeTrailingPathDelimiter(TextFromPath(std::filesystem::absolute(PathFromText(folder))));
}

bool IsMacroRow(const PackageRow& row) { return row.folder.starts_with(u'$') && !row.inDestination.value_or(false); }

int RunExtract(const ParsedArguments& arguments) {
  const std::u16string& package = arguments.Positionals()[0];
  const std::u16string password = arguments.ValueOr(u"--password", u"");
  const PackageTable table = RequireTable(package, password);

  // The tool never writes into the running system's own system folder unless told to: a package
  // is untrusted, and its macro rows would add or replace system files.
  std::u16string systemFolder;
  if (const auto given = arguments.Value(u"--system-dir")) {
    if (given->empty()) throw EUsageError(u"--system-dir needs a folder");
    systemFolder = FolderText(*given);
  } else {
    for (const PackageRow& row : table.rows) {
      if (IsMacroRow(row)) {
        throw Exception(FormatText(u"the package has files for the system folder (\"%s%s\"); give --system-dir DIR",
                                   {row.folder, row.name}));
      }
    }
  }

  const std::u16string destination = FolderText(arguments.Positionals()[1]);
  {
    ProgressBar bar(u"Extracting", StderrIsTerminal());
    ExtractPackage(
        package, destination, password, [&bar](std::int64_t percent) { bar.Show(percent); },
        [&systemFolder] { return systemFolder; });
  }
  WriteStdout(FormatText(
      u"Extracted %d files (%d bytes) into \"%s\"\n",
      {IntToText(static_cast<std::int64_t>(table.rows.size())), IntToText(table.totalUnpacked), destination}));
  return kExitSuccess;
}
}  // namespace

const Command& ExtractCommand() {
  static const Command command{u"extract", kHelp, kOptions, 2, RunExtract};
  return command;
}

}  // namespace setup::stpack
