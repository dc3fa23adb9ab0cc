// Packages built here byte by byte (zlib streams, an envelope, the trailer), read through the
// tool: the expected listing and files are written out in full, and so is every failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "PackageBytes.h"
#include "StpackFixture.h"
#include "base/CodePage.h"
#include "base/Text.h"
#include "crypto/Envelope.h"

namespace setup::testing_support {
namespace {

namespace fs = std::filesystem;

constexpr int kSha256 = 3;
constexpr int kRijndael = 5;

// The table text with every "%p" replaced by the packed size of the one stream "abc".
std::u16string WithPackedSize(std::u16string_view text, std::size_t packedSize) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, 2) == u"%p") {
      out += IntToText(static_cast<std::int64_t>(packedSize));
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string AsciiBytes(std::u16string_view text) {
  std::string bytes;
  for (const char16_t c : text) bytes += static_cast<char>(c);
  return bytes;
}

std::string RijndaelPackage(const std::string& payload, std::u16string_view plainTable) {
  const std::u16string envelope =
      EncryptEnvelope(kSha256, kRijndael, u"", plainTable, u"SaltSalt", u"0123456789abcdef");
  return AssemblePackage(payload, AsciiBytes(envelope));
}

// Relative path (with "/") to content of every file below a folder.
std::map<std::string, std::string> FilesBelow(const fs::path& folder) {
  std::map<std::string, std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (item.is_regular_file()) {
      files[ToUtf8(item.path().lexically_relative(folder).generic_u16string())] = ReadFileBytes(item.path());
    }
  }
  return files;
}

class CraftedPackage : public StpackTest {
 protected:
  void SetUp() override {
    const std::string readme = Deflate("hello\n");
    const std::string empty = Deflate("");
    const std::string comma = Deflate("x,y");
    const std::string system = Deflate("abc");
    const std::u16string table =
        u"#Files,1#,"
        u"readme.txt," +
        IntToText(static_cast<std::int64_t>(readme.size())) + u",6|" + u"sub\\,empty.dat," +
        IntToText(static_cast<std::int64_t>(empty.size())) + u",0,1|" +
        u"docs\\,a\x1A"
        u"b.txt," +
        IntToText(static_cast<std::int64_t>(comma.size())) + u",3,False|" + u"$System$,sys.dll," +
        IntToText(static_cast<std::int64_t>(system.size())) + u",3";
    WriteFileBytes(Temp(u"crafted.stp"), RijndaelPackage(readme + empty + comma + system, table));
    expectedTsv_ =
        "folder\tname\tpacked\tunpacked\tdestination\n"
        "\treadme.txt\t" +
        std::to_string(readme.size()) +
        "\t6\t\n"
        "sub\\\tempty.dat\t" +
        std::to_string(empty.size()) +
        "\t0\ttrue\n"
        "docs\\\ta,b.txt\t" +
        std::to_string(comma.size()) +
        "\t3\tfalse\n"
        "$System$\tsys.dll\t" +
        std::to_string(system.size()) + "\t3\t\n";
  }
  std::u16string Package() const { return Text(Temp(u"crafted.stp")); }
  std::string expectedTsv_;
};

TEST_F(CraftedPackage, ListShowsEveryRowAsStored) {
  const ToolResult tsv = Expect(0, {u"list", Package(), u"--tsv"});
  EXPECT_EQ(tsv.out, expectedTsv_);
  EXPECT_EQ(tsv.err, "");
  const ToolResult table = Expect(0, {u"list", Package()});
  EXPECT_NE(table.out.find("docs\\     a,b.txt"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("4 files, 12 bytes unpacked"), std::string::npos) << table.out;
}

TEST_F(CraftedPackage, VerifyAcceptsEveryStream) {
  const ToolResult result = Expect(0, {u"verify", Package()});
  EXPECT_EQ(result.out, "4 streams verified, 12 bytes unpacked\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(CraftedPackage, ExtractWritesWhereTheRowsSayAndKeepsExistingSystemFiles) {
  WriteFileBytes(Temp(u"sys") / "sys.dll", "old");
  WriteFileBytes(Temp(u"dest") / "readme.txt", "replaced by the package");
  const ToolResult result =
      Expect(0, {u"extract", Package(), Text(Temp(u"dest")), u"--system-dir", Text(Temp(u"sys"))});
  EXPECT_EQ(result.err, "");  // no progress bar when standard error is a file
  const std::map<std::string, std::string> dest{{"readme.txt", "hello\n"}, {"empty.dat", ""}, {"docs/a,b.txt", "x,y"}};
  EXPECT_EQ(FilesBelow(Temp(u"dest")), dest);
  EXPECT_EQ(FilesBelow(Temp(u"sys")), (std::map<std::string, std::string>{{"sys.dll", "old"}}));

  fs::remove(Temp(u"sys") / "sys.dll");
  Expect(0, {u"extract", Package(), Text(Temp(u"dest")), u"--system-dir", Text(Temp(u"sys"))});
  EXPECT_EQ(FilesBelow(Temp(u"sys")), (std::map<std::string, std::string>{{"sys.dll", "abc"}}));
}

// On every platform: the tool never writes into the running system's own system folder.
TEST_F(CraftedPackage, SystemRowsNeedAnExplicitSystemFolder) {
  const ToolResult result = Expect(1, {u"extract", Package(), Text(Temp(u"dest"))});
  EXPECT_EQ(result.LastErrorLine(),
            "the package has files for the system folder (\"$System$sys.dll\"); give --system-dir DIR");
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(fs::exists(Temp(u"dest")));
}

struct FailureCase {
  const char* label;
  std::u16string table;  // "%p" is the packed size of the stream of "abc"
  std::vector<std::u16string> commands;
  const char* lastLine;
  bool damageChecksum = false;
};

class CraftedFailure : public StpackTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CraftedFailure, ExitsWithOneAndTheSystemsMessage) {
  std::string stream = Deflate("abc");
  if (GetParam().damageChecksum) stream.back() = static_cast<char>(stream.back() ^ 0x01);
  WriteFileBytes(Temp(u"bad.stp"), RijndaelPackage(stream, WithPackedSize(GetParam().table, stream.size())));
  for (const std::u16string& command : GetParam().commands) {
    std::vector<std::u16string> arguments{command, Text(Temp(u"bad.stp"))};
    if (command == u"extract") arguments.push_back(Text(Temp(u"dest")));
    const ToolResult result = Expect(1, arguments);
    EXPECT_EQ(result.LastErrorLine(), GetParam().lastLine) << ToUtf8(command);
    EXPECT_EQ(result.out, "") << ToUtf8(command);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CraftedFailure,
    ::testing::Values(
        FailureCase{"threeCells", u",a.txt,%p", {u"list", u"verify", u"extract"}, "List index out of bounds (3)"},
        FailureCase{"emptyTable", u"", {u"list", u"verify", u"extract"}, "List index out of bounds (3)"},
        FailureCase{
            "sizeNotANumber", u",a.txt,%p,3x", {u"list", u"verify", u"extract"}, "''3x'' is not a valid integer value"},
        FailureCase{"packedSizeNotANumber", u",a.txt,many,3", {u"extract"}, "''many'' is not a valid integer value"},
        FailureCase{"flagNotABoolean", u",a.txt,%p,3,maybe", {u"extract"}, "'maybe' is not a valid boolean value"},
        FailureCase{"streamBeyondPayload", u",a.txt,1000,3", {u"verify", u"extract"}, "Stream read error"},
        FailureCase{"badChecksum", u",a.txt,%p,3", {u"verify", u"extract"}, "data error", true}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

// True when the output holds a control character (C0 but line feed and tab, DEL, or C1 in UTF-8).
bool HoldsRawControl(const std::string& output) {
  for (std::size_t i = 0; i < output.size(); ++i) {
    const auto byte = static_cast<unsigned char>(output[i]);
    if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) return true;
    if (byte == 0xC2 && i + 1 < output.size() && static_cast<unsigned char>(output[i + 1]) <= 0x9F) return true;
  }
  return false;
}

// A row that goes to the destination folder itself keeps whatever column 0 holds: escape
// sequences that would retitle and clear the terminal, a carriage return, a tab, and a backslash
// that would read as an escape. The listing shows them escaped, one row a line.
TEST_F(StpackTest, ListEscapesControlCharactersOfTheTable) {
  const std::string stream = Deflate("abc");
  const std::u16string folder = u"\u001B]0;pwned\u0007\u001B[2J\r\tx\\x41\\";
  WriteFileBytes(
      Temp(u"hostile.stp"),
      RijndaelPackage(stream, folder + u",a.txt," + IntToText(static_cast<std::int64_t>(stream.size())) + u",3,1"));
  const std::string printed = "\\x1B]0;pwned\\x07\\x1B[2J\\x0D\\x09x\\\\x41\\";
  const ToolResult tsv = Expect(0, {u"list", Text(Temp(u"hostile.stp")), u"--tsv"});
  EXPECT_EQ(tsv.out, "folder\tname\tpacked\tunpacked\tdestination\n" + printed + "\ta.txt\t" +
                         std::to_string(stream.size()) + "\t3\ttrue\n");
  const ToolResult table = Expect(0, {u"list", Text(Temp(u"hostile.stp"))});
  EXPECT_NE(table.out.find(printed + "  a.txt"), std::string::npos) << table.out;
  EXPECT_FALSE(HoldsRawControl(table.out + table.err)) << table.out;
}

struct HostileTextCase {
  const char* label;
  std::u16string table;  // "%p" is the packed size of the stream of "abc"
  const char* lastLine;
};

void PrintTo(const HostileTextCase& c, std::ostream* out) { *out << c.label; }

class HostileText : public StpackTest, public ::testing::WithParamInterface<HostileTextCase> {};

// Messages that quote the table's text print its control characters escaped, for every command
// that reads the table.
TEST_P(HostileText, MessagesQuoteTableTextEscaped) {
  const std::string stream = Deflate("abc");
  WriteFileBytes(Temp(u"bad.stp"), RijndaelPackage(stream, WithPackedSize(GetParam().table, stream.size())));
  for (const std::u16string command : {u"list", u"verify", u"extract"}) {
    std::vector<std::u16string> arguments{command, Text(Temp(u"bad.stp"))};
    if (command == u"extract")
      arguments.insert(arguments.end(), {Text(Temp(u"dest")), u"--system-dir", Text(Temp(u"sys"))});
    const ToolResult result = Expect(1, arguments);
    EXPECT_EQ(result.LastErrorLine(), GetParam().lastLine) << ToUtf8(command);
    EXPECT_FALSE(HoldsRawControl(result.out + result.err)) << ToUtf8(command) << ": " << result.err;
  }
  EXPECT_FALSE(fs::exists(Temp(u"dest")));
  EXPECT_FALSE(fs::exists(Temp(u"sys")));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostileText,
    ::testing::Values(
        HostileTextCase{"bellInName", u",a\u0007\\b.txt,%p,3", "Invalid file name \"a\\x07\\b.txt\""},
        HostileTextCase{"returnInMacroName", u"$System$,x\r\\keep.dll,%p,3", "Invalid file name \"x\\x0D\\keep.dll\""},
        // Byte 0x81 widens to U+0081 through code page 1252.
        HostileTextCase{"c1InName", u",\u0081\\b.txt,%p,3", "Invalid file name \"\\x81\\b.txt\""},
        HostileTextCase{"clearInFolder", u"\u001B[2J\\,a.txt,%p,3", "Invalid target folder \"\\x1B[2J\\\""},
        HostileTextCase{"escapeInSize", u",a.txt,%p,3\u001B[2J", "''3\\x1B[2J'' is not a valid integer value"},
        HostileTextCase{"returnInFlag", u",a.txt,%p,3,\r\u001B[1A", "'\\x0D\\x1B[1A' is not a valid boolean value"}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST_F(StpackTest, CodePageWidensTheTableTextOfAChinesePackage) {
  // A salt with a Chinese character: one code unit, two bytes in code page 936. Widened
  // through 1252 it becomes two characters and the envelope no longer decodes.
  const std::string stream = Deflate("abc");
  const std::u16string table = u",\u6587\u4EF6.txt," + IntToText(static_cast<std::int64_t>(stream.size())) + u",3";
  SetAnsiCodePage(936);
  const std::string tableBytes = WideToAnsi(Rc4Md5Envelope(u"\u4E2Dbcdefgh", u"", table));
  SetAnsiCodePage(0);
  ASSERT_EQ(tableBytes.substr(0, 2), "\xD6\xD0");
  WriteFileBytes(Temp(u"chinese.stp"), AssemblePackage(stream, tableBytes));
  const std::string expected = "folder\tname\tpacked\tunpacked\tdestination\n\t\xE6\x96\x87\xE4\xBB\xB6.txt\t" +
                               std::to_string(stream.size()) + "\t3\t\n";

  EXPECT_EQ(Expect(0, {u"--codepage", u"936", u"list", Text(Temp(u"chinese.stp")), u"--tsv"}).out, expected);
  EXPECT_EQ(Expect(0, {u"list", Text(Temp(u"chinese.stp")), u"--tsv", u"--codepage=936"}).out, expected);
  // The table for people aligns by terminal columns: each Chinese character takes two.
  std::string packed = std::to_string(stream.size());
  packed.insert(0, 6 - packed.size(), ' ');
  EXPECT_EQ(Expect(0, {u"list", Text(Temp(u"chinese.stp")), u"--codepage", u"936"}).out,
            "folder  name      packed  unpacked  destination\n"
            "        \xE6\x96\x87\xE4\xBB\xB6.txt  " +
                packed + "         3\n1 files, 3 bytes unpacked, " + std::to_string(stream.size()) + " bytes packed\n");
  EXPECT_EQ(Expect(1, {u"list", Text(Temp(u"chinese.stp")), u"--codepage", u"1252"}).LastErrorLine(),
            "List index out of bounds (3)");
  Expect(0, {u"extract", Text(Temp(u"chinese.stp")), Text(Temp(u"dest")), u"--codepage", u"936"});
  EXPECT_EQ(ReadFileBytes(Temp(u"dest") / fs::path(u"\u6587\u4EF6.txt")), "abc");
}

}  // namespace
}  // namespace setup::testing_support
