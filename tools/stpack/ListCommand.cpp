// stpack list: the rows of a package's file table.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "base/Text.h"
#include "package/PackageReader.h"
#include "tools/stpack/Commands.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/PrintableText.h"
#include "tools/stpack/TableCheck.h"

namespace setup::stpack {

namespace {
constexpr std::u16string_view kHelp =
    u"Usage: stpack list PACKAGE [--password TEXT] [--tsv]\n"
    u"\n"
    u"Shows the rows of the package's file table: target folder, file name, packed and\n"
    u"unpacked size, and the destination flag when the row has one. Control characters\n"
    u"are shown as \\xHH, and a backslash that would read as such an escape as \\\\.\n"
    u"\n"
    u"Options:\n"
    u"  --password TEXT   password of the file table (default: empty)\n"
    u"  --tsv             tab-separated values with a header line, for other programs\n"
    u"  --codepage N      ANSI code page for the table text\n";

constexpr std::array<OptionDefinition, 2> kOptions{{
    {u"--password", u"", true},
    {u"--tsv", u"", false},
}};

std::u16string FlagText(const std::optional<bool>& flag) {
  if (!flag) return {};
  return *flag ? u"true" : u"false";
}

// Table text goes out with its control characters escaped: a row that goes to the destination
// folder itself keeps whatever column 0 holds.
std::vector<std::u16string> Cells(const PackageRow& row) {
  return {PrintableText(row.folder), PrintableText(row.name), IntToText(row.packedSize), IntToText(row.unpackedSize),
          FlagText(row.inDestination)};
}

std::u16string Join(const std::vector<std::u16string>& cells, char16_t separator) {
  std::u16string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += separator;
    line += cells[i];
  }
  return line + u"\n";
}

// Terminal columns a text takes: East Asian wide characters take two.
std::size_t DisplayWidth(std::u16string_view text) {
  std::size_t width = 0;
  for (const char16_t c : text) {
    if (c >= 0xDC00 && c <= 0xDFFF) continue;  // the second half of a surrogate pair
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6);
    width += wide ? 2 : 1;
  }
  return width;
}

// Columns padded to their widest cell; the two sizes are right-aligned.
std::u16string AlignedTable(const std::vector<std::vector<std::u16string>>& lines) {
  std::array<std::size_t, 5> widths{};
  for (const auto& cells : lines) {
    for (std::size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], DisplayWidth(cells[i]));
  }
  std::u16string text;
  for (const auto& cells : lines) {
    std::u16string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const std::u16string padding(widths[i] - DisplayWidth(cells[i]), u' ');
      const bool rightAligned = i == 2 || i == 3;
      if (i > 0) line += u"  ";
      line += rightAligned ? padding + cells[i] : cells[i] + padding;
    }
    while (!line.empty() && line.back() == u' ') line.pop_back();
    text += line + u"\n";
  }
  return text;
}

int RunList(const ParsedArguments& arguments) {
  const PackageTable table = RequireTable(arguments.Positionals()[0], arguments.ValueOr(u"--password", u""));
  const std::vector<std::u16string> header{u"folder", u"name", u"packed", u"unpacked", u"destination"};
  if (arguments.Has(u"--tsv")) {
    std::u16string text = Join(header, u'\t');
    for (const PackageRow& row : table.rows) text += Join(Cells(row), u'\t');
    WriteStdout(text);
    return kExitSuccess;
  }
  std::vector<std::vector<std::u16string>> lines{header};
  std::int64_t packed = 0;
  for (const PackageRow& row : table.rows) {
    lines.push_back(Cells(row));
    packed += row.packedSize;
  }
  std::u16string text = AlignedTable(lines);
  text += FormatText(
      u"%d files, %d bytes unpacked, %d bytes packed\n",
      {IntToText(static_cast<std::int64_t>(table.rows.size())), IntToText(table.totalUnpacked), IntToText(packed)});
  WriteStdout(text);
  return kExitSuccess;
}
}  // namespace

const Command& ListCommand() {
  static const Command command{u"list", kHelp, kOptions, 1, RunList};
  return command;
}

}  // namespace setup::stpack
