// stpack verify: every stream inflates to exactly its size with a good checksum.
#include <array>
#include <string>
#include <vector>

#include "base/Text.h"
#include "package/PackageReader.h"
#include "tools/stpack/Commands.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/PrintableText.h"
#include "tools/stpack/ProgressBar.h"
#include "tools/stpack/TableCheck.h"

namespace setup::stpack {

namespace {
constexpr std::u16string_view kHelp =
    u"Usage: stpack verify PACKAGE [--password TEXT]\n"
    u"\n"
    u"Reads the file table and inflates every stream without writing any file; each must\n"
    u"give exactly its unpacked size with a good checksum. Damaged streams are named on\n"
    u"standard error and the status is 1.\n"
    u"\n"
    u"Options:\n"
    u"  --password TEXT   password of the file table (default: empty)\n"
    u"  --codepage N      ANSI code page for the table text\n";

constexpr std::array<OptionDefinition, 1> kOptions{{
    {u"--password", u"", true},
}};

int RunVerify(const ParsedArguments& arguments) {
  const std::u16string& package = arguments.Positionals()[0];
  const std::u16string password = arguments.ValueOr(u"--password", u"");
  const PackageTable table = RequireTable(package, password);
  std::vector<StreamFault> faults;
  {
    ProgressBar bar(u"Verifying", StderrIsTerminal() && !table.rows.empty());
    faults = VerifyPackage(package, password, [&](std::size_t row) {
      bar.Show(static_cast<std::int64_t>((row + 1) * 100 / table.rows.size()));
    });
  }
  if (faults.empty()) {
    WriteStdout(FormatText(u"%d streams verified, %d bytes unpacked\n",
                           {IntToText(static_cast<std::int64_t>(table.rows.size())), IntToText(table.totalUnpacked)}));
    return kExitSuccess;
  }
  std::u16string report;
  for (const StreamFault& fault : faults) {
    std::u16string path;
    if (fault.row < table.rows.size()) path = table.rows[fault.row].folder + table.rows[fault.row].name;
    report += FormatText(u"row %d \"%s\": %s\n", {IntToText(static_cast<std::int64_t>(fault.row + 1)),
                                                  PrintableText(path), PrintableText(fault.message)});
  }
  // The last line carries the first fault's own text, as every failure of the tool does.
  report += PrintableText(faults.front().message) + u"\n";
  WriteStderr(report);
  return kExitFailure;
}
}  // namespace

const Command& VerifyCommand() {
  static const Command command{u"verify", kHelp, kOptions, 1, RunVerify};
  return command;
}

}  // namespace setup::stpack
