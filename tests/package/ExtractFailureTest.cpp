// Every malformed package fails with its message. Table faults are found before any file is
// touched; stream faults leave the files before them, and the file being written keeps its old
// contents. No temporary file survives.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/Text.h"
#include "package/Extract.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

std::u16string Size(const std::string& stream) { return IntToText(static_cast<std::int64_t>(stream.size())); }

// A first row that would write "new" over the existing a.txt.
const std::string kFirst = Zlib("new");
std::u16string FirstRow() { return u",a.txt," + Size(kFirst) + u",3|"; }

class ExtractFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(destination_.Path() / "a.txt", "old a");
    WriteBytes(destination_.Path() / "b.txt", "old b");
    WriteBytes(system_.Path() / "kept.dll", "system");
  }

  std::string Fail(const std::string& package, std::u16string systemFolder) {
    WriteBytes(packageFile_, package);
    return MessageOf(
        [&] { ExtractPackage(Text(packageFile_), destination_.Text(), u"", {}, [&] { return systemFolder; }); });
  }
  std::string Fail(const std::string& package) { return Fail(package, system_.Text()); }
  // The same from the package in memory, as the setup program reads its own.
  std::string FailFromMemory(const std::string& package) {
    const auto bytes = std::as_bytes(std::span<const char>(package.data(), package.size()));
    return MessageOf(
        [&] { ExtractPackage(bytes, destination_.Text(), u"", ExtractControl{}, [&] { return system_.Text(); }); });
  }

  void ExpectUntouched() {
    EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(ReadBytes(destination_.Path() / "a.txt"), "old a");
    EXPECT_EQ(ReadBytes(destination_.Path() / "b.txt"), "old b");
    EXPECT_EQ(ListFiles(system_.Path()), std::vector<std::string>{"kept.dll"});
    // Nothing escaped either folder.
    EXPECT_EQ(ListFiles(destination_.Sandbox()),
              (std::vector<std::string>{"inner/folder/a.txt", "inner/folder/b.txt"}));
    EXPECT_EQ(ListFiles(system_.Sandbox()), std::vector<std::string>{"inner/folder/kept.dll"});
    EXPECT_EQ(ListFiles(work_.Path()), std::vector<std::string>{"Setup.stp"});
  }

  TempFolder work_;
  NestedFolder destination_;
  NestedFolder system_;
  fs::path packageFile_ = work_.Path() / "Setup.stp";
};

struct TableFault {
  const char* name;
  std::function<std::string()> package;
  std::string message;
};

void PrintTo(const TableFault& fault, std::ostream* out) { *out << fault.name; }

class TableFailure : public ExtractFailure, public ::testing::WithParamInterface<TableFault> {};

TEST_P(TableFailure, RaisesBeforeAnyFileIsTouched) {
  EXPECT_EQ(Fail(GetParam().package()), GetParam().message);
  ExpectUntouched();
}

// Packages whose second row is the given text, after a good first row.
std::function<std::string()> SecondRow(std::u16string row, std::string stream = Zlib("bb")) {
  return [row, stream] { return HandBuiltPackage(kFirst + stream, FirstRow() + row); };
}

const std::string kB = Zlib("bb");

INSTANTIATE_TEST_SUITE_P(
    Table, TableFailure,
    ::testing::Values(
        TableFault{"GarbageEnvelope", [] { return kFirst + "not an envelope" + LittleEndian32(15) + kStandardTail; },
                   "List index out of bounds (3)"},
        TableFault{"ThreeCells", SecondRow(u",b.txt,1"), "List index out of bounds (3)"},
        TableFault{"ColumnThreeNotInteger", SecondRow(u",b.txt," + Size(kB) + u",12x"),
                   "''12x'' is not a valid integer value"},
        TableFault{"ColumnTwoNotInteger", SecondRow(u",b.txt,zz,2"), "''zz'' is not a valid integer value"},
        TableFault{"ColumnFourNotBoolean", SecondRow(u",b.txt," + Size(kB) + u",2,yes"),
                   "'yes' is not a valid boolean value"},
        TableFault{"StreamBeyondPayload",
                   SecondRow(u",b.txt," + IntToText(static_cast<std::int64_t>(kB.size()) + 1) + u",2"),
                   "Stream read error"},
        TableFault{"StreamBeyondFile", SecondRow(u",b.txt,100000,2"), "Stream read error"},
        TableFault{"NegativePackedSize", SecondRow(u",b.txt,-5,2"), "Invalid size -5 of file \"b.txt\""},
        TableFault{"NegativeUnpackedSize", SecondRow(u",b.txt," + Size(kB) + u",-1"),
                   "Invalid size -1 of file \"b.txt\""},
        TableFault{"TotalOverflows", SecondRow(u",b.txt," + Size(kB) + u",2147483646"),
                   "The unpacked sizes of the package exceed 2147483647 bytes"},
        TableFault{"ParentFolder", SecondRow(u"..\\,b.txt," + Size(kB) + u",2"), "Invalid target folder \"..\\\""},
        TableFault{"DeepParentFolder", SecondRow(u"sub\\..\\..\\,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"sub\\..\\..\\\""},
        TableFault{"AbsoluteFolder", SecondRow(u"\\tmp\\,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"\\tmp\\\""},
        TableFault{"SlashFolder", SecondRow(u"/tmp/,b.txt," + Size(kB) + u",2"), "Invalid target folder \"/tmp/\""},
        TableFault{"DriveFolder", SecondRow(u"C:\\x\\,b.txt," + Size(kB) + u",2"), "Invalid target folder \"C:\\x\\\""},
        TableFault{"UncFolder", SecondRow(u"\\\\server\\share\\,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"\\\\server\\share\\\""},
        TableFault{"DeviceFolder", SecondRow(u"\\\\.\\PhysicalDrive0\\,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"\\\\.\\PhysicalDrive0\\\""},
        TableFault{"UpperCaseMacro", SecondRow(u"$SYSTEM$,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"$SYSTEM$\""},
        TableFault{"LowerCaseMacro", SecondRow(u"$system$,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"$system$\""},
        TableFault{"MacroThenParent", SecondRow(u"$System$..\\..\\,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"$System$..\\..\\\""},
        TableFault{"EmptyName", SecondRow(u"," + std::u16string() + u"," + Size(kB) + u",2"), "Invalid file name \"\""},
        TableFault{"NameEndsInSeparator", SecondRow(u",sub\\," + Size(kB) + u",2"), "Invalid file name \"sub\\\""},
        TableFault{"DotName", SecondRow(u",.," + Size(kB) + u",2"), "Invalid file name \".\""},
        TableFault{"ParentName", SecondRow(u",x\\..," + Size(kB) + u",2"), "Invalid file name \"x\\..\""},
        TableFault{"DeviceName", SecondRow(u",CON," + Size(kB) + u",2"), "Invalid file name \"CON\""},
        TableFault{"DeviceNameWithExtension", SecondRow(u",nul.txt," + Size(kB) + u",2"),
                   "Invalid file name \"nul.txt\""},
        TableFault{"PortName", SecondRow(u",com1.log," + Size(kB) + u",2"), "Invalid file name \"com1.log\""},
        // Column 1 is checked whole, every component of it, for every row.
        TableFault{"MacroNameWithColon", SecondRow(u"$System$,zz:kept.dll," + Size(kB) + u",2"),
                   "Invalid file name \"zz:kept.dll\""},
        TableFault{"MacroNameWithDrive", SecondRow(u"$System$,C:kept.dll," + Size(kB) + u",2"),
                   "Invalid file name \"C:kept.dll\""},
        TableFault{"MacroNameOutside", SecondRow(u"$System$,..\\outside\\canary.txt," + Size(kB) + u",2"),
                   "Invalid file name \"..\\outside\\canary.txt\""},
        TableFault{"MacroNameRooted", SecondRow(u"$Third$,\\kept.dll," + Size(kB) + u",2"),
                   "Invalid file name \"\\kept.dll\""},
        TableFault{"NameThroughParent", SecondRow(u",sub\\..\\..\\b.txt," + Size(kB) + u",2"),
                   "Invalid file name \"sub\\..\\..\\b.txt\""},
        TableFault{"NameThroughDots", SecondRow(u",... \\b.txt," + Size(kB) + u",2"),
                   "Invalid file name \"... \\b.txt\""},
        TableFault{"NameThroughDevice", SecondRow(u",x\\CON\\b.txt," + Size(kB) + u",2"),
                   "Invalid file name \"x\\CON\\b.txt\""},
        TableFault{"NameWithEmptyComponent", SecondRow(u",a\\\\b.txt," + Size(kB) + u",2"),
                   "Invalid file name \"a\\\\b.txt\""},
        TableFault{"NameWithInnerControl", SecondRow(u",a\u0007\\b.txt," + Size(kB) + u",2"),
                   "Invalid file name \"a\u0007\\b.txt\""},
        TableFault{"NameWithInnerReturn", SecondRow(u",a\r\\b.txt," + Size(kB) + u",2"),
                   "Invalid file name \"a\r\\b.txt\""},
        TableFault{"NameWithC1Control", SecondRow(u",\u00812J\\b.txt," + Size(kB) + u",2"),
                   "Invalid file name \"\xC2\x81"
                   "2J\\b.txt\""},
        TableFault{"FolderWithEmptyComponent", SecondRow(u"a\\\\b\\,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"a\\\\b\\\""},
        TableFault{"FolderWithDelete", SecondRow(u"a\u007F\\,b.txt," + Size(kB) + u",2"),
                   "Invalid target folder \"a\u007F\\\""},
        // One row beyond the limit, all empty: refused before any row is made, so this costs the
        // text and not the hundreds of megabytes a million rows would.
        TableFault{"MoreRowsThanAllowed",
                   [] { return HandBuiltPackage(kFirst, FirstRow() + std::u16string(999999, u'|')); },
                   "The file table of the package holds 1000001 rows; at most 1000000 are allowed"},
        TableFault{"NegativeLength", [] { return kFirst + LittleEndian32(-1) + kStandardTail; },
                   "Invalid package table length (-1)"},
        TableFault{"TableBeforeTheFile", [] { return std::string("ab") + LittleEndian32(5) + kStandardTail; },
                   "Stream read error"},
        TableFault{"OneByte", [] { return std::string("\x14", 1); }, "The package is too short for its trailer"},
        TableFault{"TwoBytes", [] { return std::string("\x14\x02", 2); }, "The package is too short for its trailer"},
        TableFault{"ShortThreeByteTail", [] { return std::string("\x01\x0A\x14\x02", 4); },
                   "The package is too short for its trailer"},
        TableFault{"ShortTenByteTail", [] { return std::string(9, '\x55'); },
                   "The package is too short for its trailer"},
        TableFault{"ShortTwentyNineByteTail", [] { return std::string(32, '\x55'); },
                   "The package is too short for its trailer"},
        TableFault{"Empty", [] { return std::string(); }, "The package is too short for its trailer"}),
    [](const auto& item) { return std::string(item.param.name); });

// A macro row whose name holds a path writes only its last component into the system folder, so
// the existence test looks at that very file: the system file stays byte for byte, nothing is
// written and no folder of the name is made.
class MacroNameWithPath : public ExtractFailure, public ::testing::WithParamInterface<std::u16string> {};

TEST_P(MacroNameWithPath, KeepsTheExistingSystemFile) {
  const std::string stream = Zlib("replaced");
  WriteBytes(packageFile_, HandBuiltPackage(stream, u"$System$," + GetParam() + u"," + Size(stream) + u",8"));
  ExtractPackage(Text(packageFile_), destination_.Text(), u"", {}, [this] { return system_.Text(); });
  ExpectUntouched();
  EXPECT_EQ(ReadBytes(system_.Path() / "kept.dll"), "system");
}

INSTANTIATE_TEST_SUITE_P(Names, MacroNameWithPath,
                         ::testing::Values(u"zz\\kept.dll", u"q/kept.dll", u"a\\b/c\\kept.dll", u"\u6587\\kept.dll"));

// A length field one byte above the table text limit, in a package long enough to hold it: the
// file is sparse, and the text is refused before it is read.
TEST_F(ExtractFailure, TableTextBeyondTheLimit) {
  constexpr std::int32_t kLength = 128 * 1024 * 1024 + 1;
  {
    std::ofstream out(packageFile_, std::ios::binary);
    out.seekp(kLength + 16);
    out << LittleEndian32(kLength) << kStandardTail;
    ASSERT_TRUE(out.good());
  }
  EXPECT_EQ(MessageOf([&] {
              ExtractPackage(Text(packageFile_), destination_.Text(), u"", {}, [&] { return system_.Text(); });
            }),
            "The file table of the package is 134217729 bytes long; at most 134217728 are allowed");
  ExpectUntouched();
}

TEST_F(ExtractFailure, MacroRowWithoutSystemFolder) {
  const std::string x = Zlib("x");
  for (const std::u16string folder : {u"$System$", u"$Third$sub\\"}) {
    EXPECT_EQ(Fail(HandBuiltPackage(kFirst + x, FirstRow() + folder + u",x.dll," + Size(x) + u",1"), u""),
              "Unable to create directory");
    ExpectUntouched();
  }
}

TEST_F(ExtractFailure, PackageThatCannotBeOpened) {
  const fs::path missing = work_.Path() / "missing.stp";
  const std::string message =
      MessageOf([&] { ExtractPackage(Text(missing), destination_.Text(), u"", {}, [] { return std::u16string(); }); });
  const std::string start = "Cannot open file \"" + ToUtf8(missing.u16string()) + "\". ";
  EXPECT_EQ(message.substr(0, start.size()), start);
  EXPECT_GT(message.size(), start.size());  // the system's reason follows
}

struct StreamFault {
  const char* name;
  std::string stream;
  std::int64_t unpacked;  // column 3 of the row
  std::string message;
};

void PrintTo(const StreamFault& fault, std::ostream* out) { *out << fault.name; }

// A stream whose checksum no longer matches: the last byte of the Adler-32 changed.
std::string WithBadChecksum(std::string stream) {
  stream.back() = static_cast<char>(stream.back() ^ 1);
  return stream;
}

std::string Big() {
  std::string content;
  for (int i = 0; content.size() < 1024 * 1024; ++i) content += std::to_string(i) + ' ';
  return content;
}

// A stored (level 0) stream of a megabyte with one byte changed deep inside: every byte is
// written to the temporary file before the checksum fails.
std::string BigWithChangedByte() {
  std::string stream = Zlib(Big(), 0);
  stream[700000] = static_cast<char>(stream[700000] ^ 0x20);
  return stream;
}

class StreamFailure : public ExtractFailure, public ::testing::WithParamInterface<StreamFault> {};

TEST_P(StreamFailure, KeepsTheOldFileAndNoTemporaryFile) {
  const StreamFault& fault = GetParam();
  const std::u16string row = u",b.txt," + Size(fault.stream) + u"," + IntToText(fault.unpacked);
  EXPECT_EQ(Fail(HandBuiltPackage(kFirst + fault.stream, FirstRow() + row)), fault.message);
  // The row before the fault was written; the faulty one left b.txt as it was.
  EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(ReadBytes(destination_.Path() / "a.txt"), "new");
  EXPECT_EQ(ReadBytes(destination_.Path() / "b.txt"), "old b");
}

// A file whose name was free is written at that name; a failure removes what was written of it.
// (From memory: the stream is inflated where it lies, and the same faults are found.)
TEST_P(StreamFailure, LeavesNothingAtANewName) {
  const StreamFault& fault = GetParam();
  const std::u16string row = u",c.txt," + Size(fault.stream) + u"," + IntToText(fault.unpacked);
  EXPECT_EQ(FailFromMemory(HandBuiltPackage(kFirst + fault.stream, FirstRow() + row)), fault.message);
  EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(ReadBytes(destination_.Path() / "b.txt"), "old b");
}

INSTANTIATE_TEST_SUITE_P(
    Streams, StreamFailure,
    ::testing::Values(
        StreamFault{"NotZlib", "plain text, not zlib", 5, "data error"},
        StreamFault{"InvalidBlockType", std::string("\x78\x9c\xff\xff\xff", 5), 5, "data error"},
        StreamFault{"PresetDictionary", std::string("\x78\x20\x01\x02\x03\x04\x05\x06", 8), 5, "need dictionary"},
        StreamFault{"Truncated", Zlib("truncated stream").substr(0, 10), 16, "data error"},
        StreamFault{"EndsBeforeItsSize", Zlib("short"), 6, "data error"},
        StreamFault{"GoesOnAfterItsSize", Zlib("longer"), 5, "buffer error"},
        StreamFault{"BadChecksum", WithBadChecksum(Zlib("checksum")), 8, "data error"},
        StreamFault{"ChecksumMissing", Zlib("checksum").substr(0, Zlib("checksum").size() - 4), 8, "data error"},
        StreamFault{"EmptyStreamForBytes", "", 3, "data error"},
        StreamFault{"ByteChangedDeepInside", BigWithChangedByte(), static_cast<std::int64_t>(Big().size()),
                    "data error"}),
    [](const auto& item) { return std::string(item.param.name); });

TEST_F(ExtractFailure, TargetThatIsAFolderCannotBeReplaced) {
  fs::create_directories(destination_.Path() / "c.txt");
  const std::string c = Zlib("c");
  const std::string message = Fail(HandBuiltPackage(kFirst + c, FirstRow() + u",c.txt," + Size(c) + u",1"));
  const std::string start = "Cannot create file \"" + ToUtf8(destination_.Text()) + "c.txt\". ";
  EXPECT_EQ(message.substr(0, start.size()), start) << message;
  EXPECT_FALSE(HoldsTemporaryFile(destination_.Path()));
}

TEST_F(ExtractFailure, TargetFolderThatIsAFile) {
  const std::string c = Zlib("c");
  const std::string message = Fail(HandBuiltPackage(kFirst + c, FirstRow() + u"b.txt\\,c.txt," + Size(c) + u",1"));
  const std::string start = "Cannot create file \"" + ToUtf8(destination_.Text()) + "b.txt\\c.txt\". ";
  EXPECT_EQ(message.substr(0, start.size()), start) << message;
  EXPECT_EQ(ReadBytes(destination_.Path() / "b.txt"), "old b");
}

// The folder that cannot be made is named in the reason, not only the file that needed it.
TEST_F(ExtractFailure, TargetFolderThatCannotBeMadeIsNamed) {
  const std::string c = Zlib("c");
  const std::string message =
      Fail(HandBuiltPackage(kFirst + c, FirstRow() + u"b.txt\\deeper\\,c.txt," + Size(c) + u",1"));
  const std::string destination = ToUtf8(destination_.Text());
  const std::string start = "Cannot create file \"" + destination + "b.txt\\deeper\\c.txt\". " +
                            "Unable to create directory \"" + destination + "b.txt\\deeper\\\". ";
  EXPECT_EQ(message.substr(0, start.size()), start) << message;
  EXPECT_EQ(ReadBytes(destination_.Path() / "b.txt"), "old b");
  EXPECT_FALSE(HoldsTemporaryFile(destination_.Path()));
}

#ifndef _WIN32
TEST_F(ExtractFailure, WriteFailureMidFileKeepsTheOldFile) {
  const std::string content(3 * 1024 * 1024, 'w');
  const std::string stream = Zlib(content);
  WriteBytes(packageFile_, HandBuiltPackage(kFirst + stream, FirstRow() + u",b.txt," + Size(stream) + u"," +
                                                                 IntToText(static_cast<std::int64_t>(content.size()))));
  std::string message;
  {
    const FileSizeLimit limit(1024 * 1024);
    message = MessageOf([&] { ExtractPackage(Text(packageFile_), destination_.Text(), u""); });
  }
  EXPECT_EQ(message, "Stream write error");
  EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(ReadBytes(destination_.Path() / "a.txt"), "new");
  EXPECT_EQ(ReadBytes(destination_.Path() / "b.txt"), "old b");
}
#endif

#ifdef _WIN32
TEST_F(ExtractFailure, TargetInUseIsNamedAndKept) {
  const fs::path target = destination_.Path() / "b.txt";
  const HANDLE held =
      CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string b = Zlib("bb");
  const std::string message = Fail(HandBuiltPackage(kFirst + b, FirstRow() + u",b.txt," + Size(b) + u",2"));
  CloseHandle(held);
  const std::string start = "Cannot create file \"" + ToUtf8(destination_.Text()) + "b.txt\". ";
  EXPECT_EQ(message.substr(0, start.size()), start) << message;
  EXPECT_EQ(ReadBytes(target), "old b");
  EXPECT_FALSE(HoldsTemporaryFile(destination_.Path()));
}
#endif

}  // namespace
}  // namespace setup
