// ExtractPackage on packages hand-built from a plain table text, so every cell and every trailer
// layout can be chosen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/Extract.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

class Extract : public ::testing::Test {
 protected:
  // Writes the package and extracts it into destination_ with system_ as the system folder.
  void Run(const std::string& package, const ExtractProgressHandler& progress = {}) {
    WriteBytes(packageFile_, package);
    ExtractPackage(Text(packageFile_), destination_.Text(), u"", progress, [this] { return system_.Text(); });
  }

  TempFolder work_;
  TempFolder destination_;
  TempFolder system_;
  fs::path packageFile_ = work_.Path() / "Setup.stp";
};

// One payload of three streams and a table naming them.
struct ThreeFiles {
  std::string payload;
  std::u16string table;
};

ThreeFiles MakeThreeFiles() {
  const std::string a = Zlib("A"), b = Zlib("BB"), c = Zlib("CCCCC");
  ThreeFiles files;
  files.payload = a + b + c;
  files.table = u"," + FromUtf8("a.txt,") + IntToText(static_cast<std::int64_t>(a.size())) +
                u",1|sub\\deeper\\,b.txt," + IntToText(static_cast<std::int64_t>(b.size())) + u",2|sub\\,c.txt," +
                IntToText(static_cast<std::int64_t>(c.size())) + u",5";
  return files;
}

struct TailCase {
  const char* name;
  std::string afterLength;  // the bytes after the length field
};

class TailLayout : public Extract, public ::testing::WithParamInterface<TailCase> {};

TEST_P(TailLayout, FindsTheTableAndExtractsEveryFile) {
  const ThreeFiles files = MakeThreeFiles();
  Run(HandBuiltPackage(files.payload, files.table, GetParam().afterLength));
  EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"a.txt", "sub/c.txt", "sub/deeper/b.txt"}));
  EXPECT_EQ(ReadBytes(destination_.Path() / "a.txt"), "A");
  EXPECT_EQ(ReadBytes(destination_.Path() / "sub/deeper/b.txt"), "BB");
  EXPECT_EQ(ReadBytes(destination_.Path() / "sub/c.txt"), "CCCCC");
}

std::string Filler(std::size_t count) { return std::string(count, '\x55'); }

INSTANTIATE_TEST_SUITE_P(Layouts, TailLayout,
                         ::testing::Values(
                             // end-2 is 0x14, end-3 is 0x0A: length field at end-7.
                             TailCase{"Three", std::string("\x0A\x14\x02", 3)},
                             // end-2 is 0x14, end-3 is not 0x0A: length field at end-26.
                             TailCase{"TwentyTwo", Filler(19) + std::string("\x01\x14\x02", 3)},
                             // end-2 is not 0x14, end-10 is 0x0A: length field at end-14.
                             TailCase{"Ten", std::string("\x0A", 1) + Filler(9)},
                             // end-2 is not 0x14, end-10 is not 0x0A: length field at end-33.
                             TailCase{"TwentyNine", Filler(29)}),
                         [](const auto& item) { return std::string(item.param.name); });

TEST_F(Extract, LengthFieldNotLessThanTheFileSizeExtractsNothing) {
  for (const std::int32_t excess : {0, 1, 1000}) {
    // 3 payload bytes, 4 length bytes, 3 tail bytes: the file is 10 bytes long.
    const std::string package = "xyz" + LittleEndian32(10 + excess) + kStandardTail;
    Run(package);
    EXPECT_TRUE(ListFiles(destination_.Path()).empty()) << excess;
  }
}

TEST_F(Extract, ProgressRoundsHalvesToEven) {
  std::vector<std::int64_t> seen;
  const ThreeFiles files = MakeThreeFiles();
  Run(HandBuiltPackage(files.payload, files.table), [&](std::int64_t p) { seen.push_back(p); });
  EXPECT_EQ(seen, (std::vector<std::int64_t>{12, 38, 100}));
}

TEST_F(Extract, PackageWithoutBytesReportsComplete) {
  std::vector<std::int64_t> seen;
  const std::string empty = Zlib("");
  const std::u16string size = IntToText(static_cast<std::int64_t>(empty.size()));
  Run(HandBuiltPackage(empty + empty, u",e1," + size + u",0|,e2," + size + u",0"),
      [&](std::int64_t p) { seen.push_back(p); });
  EXPECT_EQ(seen, (std::vector<std::int64_t>{100, 100}));
  EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"e1", "e2"}));
  EXPECT_EQ(fs::file_size(destination_.Path() / "e1"), 0u);
}

TEST_F(Extract, RowWithoutStreamAndSizeIsAnEmptyFile) {
  Run(HandBuiltPackage("", u",empty.txt,0,0"));
  ASSERT_TRUE(fs::exists(destination_.Path() / "empty.txt"));
  EXPECT_EQ(fs::file_size(destination_.Path() / "empty.txt"), 0u);
}

struct DestinationCase {
  const char* name;
  std::u16string column4;  // "," and column 4, or empty for a row of four cells
  std::string expected;
};

class DestinationFlag : public Extract, public ::testing::WithParamInterface<DestinationCase> {};

TEST_P(DestinationFlag, ColumnFourTrueOverridesTheFolder) {
  const std::string stream = Zlib("data");
  std::u16string row = u"sub\\,f.bin," + IntToText(static_cast<std::int64_t>(stream.size())) + u",4";
  Run(HandBuiltPackage(stream, row + GetParam().column4));
  EXPECT_EQ(ListFiles(destination_.Path()), std::vector<std::string>{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(
    Flags, DestinationFlag,
    ::testing::Values(DestinationCase{"FourCells", u"", "sub/f.bin"}, DestinationCase{"One", u",1", "f.bin"},
                      DestinationCase{"True", u",True", "f.bin"}, DestinationCase{"MinusOne", u",-1", "f.bin"},
                      DestinationCase{"Zero", u",0", "sub/f.bin"}, DestinationCase{"False", u",false", "sub/f.bin"},
                      DestinationCase{"Empty", u",", "sub/f.bin"}, DestinationCase{"SixCells", u",1,extra", "f.bin"}),
    [](const auto& item) { return std::string(item.param.name); });

TEST_F(Extract, DestinationFlagIgnoresAnUnsafeFolder) {
  const std::string stream = Zlib("d");
  Run(HandBuiltPackage(stream, u"..\\..\\,f.bin," + IntToText(static_cast<std::int64_t>(stream.size())) + u",1,1"));
  EXPECT_EQ(ListFiles(destination_.Path()), std::vector<std::string>{"f.bin"});
}

TEST_F(Extract, EscapedNameAndPathInColumnOne) {
  const std::string a = Zlib("comma"), b = Zlib("path");
  // Column 1 carries "," as character 26; a path in column 1 writes only its last component.
  Run(HandBuiltPackage(a + b, u",a\u001Ab.txt," + IntToText(static_cast<std::int64_t>(a.size())) +
                                  u",5|sub\\,x\\y\\name.txt," + IntToText(static_cast<std::int64_t>(b.size())) +
                                  u",4"));
  EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"a,b.txt", "sub/name.txt"}));
}

TEST_F(Extract, NonMacroFileIsReplaced) {
  WriteBytes(destination_.Path() / "a.txt", "old contents that are longer");
  const ThreeFiles files = MakeThreeFiles();
  Run(HandBuiltPackage(files.payload, files.table));
  EXPECT_EQ(ReadBytes(destination_.Path() / "a.txt"), "A");
}

TEST_F(Extract, DestinationWithoutSeparatorStillHoldsTheFiles) {
  const ThreeFiles files = MakeThreeFiles();
  WriteBytes(packageFile_, HandBuiltPackage(files.payload, files.table));
  const fs::path inner = destination_.Path() / "inner";
  ExtractPackage(Text(packageFile_), inner.u16string(), u"");
  EXPECT_EQ(ListFiles(inner), (std::vector<std::string>{"a.txt", "sub/c.txt", "sub/deeper/b.txt"}));
}

struct MacroRowCase {
  const char* name;
  std::u16string folder;
  std::string expected;  // relative to the system folder
};

class MacroRow : public Extract, public ::testing::WithParamInterface<MacroRowCase> {};

TEST_P(MacroRow, GoesToTheSystemFolder) {
  const std::string stream = Zlib("lib");
  Run(HandBuiltPackage(stream,
                       GetParam().folder + u",x.dll," + IntToText(static_cast<std::int64_t>(stream.size())) + u",3"));
  EXPECT_EQ(ListFiles(system_.Path()), std::vector<std::string>{GetParam().expected});
  EXPECT_TRUE(ListFiles(destination_.Path()).empty());
}

INSTANTIATE_TEST_SUITE_P(Macros, MacroRow,
                         ::testing::Values(MacroRowCase{"System", u"$System$", "x.dll"},
                                           MacroRowCase{"Third", u"$Third$", "x.dll"},
                                           MacroRowCase{"ThirdAnyCase", u"$tHiRd$", "x.dll"},
                                           MacroRowCase{"SystemUpperWithSystem", u"$SYSTEM$System\\", "System/x.dll"},
                                           MacroRowCase{"SystemSub", u"$System$drivers\\", "drivers/x.dll"}),
                         [](const auto& item) { return std::string(item.param.name); });

TEST_F(Extract, ExistingMacroFileIsKeptAndTheNextRowGetsItsOwnStream) {
  WriteBytes(system_.Path() / "x.dll", "installed");
  const std::string x = Zlib("newer"), y = Zlib("second"), z = Zlib("third!");
  std::vector<std::int64_t> seen;
  Run(HandBuiltPackage(x + y + z, u"$System$,x.dll," + IntToText(static_cast<std::int64_t>(x.size())) +
                                      u",5|$Third$,y.dll," + IntToText(static_cast<std::int64_t>(y.size())) +
                                      u",6|,z.txt," + IntToText(static_cast<std::int64_t>(z.size())) + u",6"),
      [&](std::int64_t p) { seen.push_back(p); });
  EXPECT_EQ(ReadBytes(system_.Path() / "x.dll"), "installed");
  EXPECT_EQ(ReadBytes(system_.Path() / "y.dll"), "second");
  EXPECT_EQ(ReadBytes(destination_.Path() / "z.txt"), "third!");
  // 5 of 17 bytes were skipped without a call: 11/17 is 64.7%, then 100.
  EXPECT_EQ(seen, (std::vector<std::int64_t>{65, 100}));
}

TEST_F(Extract, SystemFolderIsAskedForEachMacroRow) {
  const std::string x = Zlib("1"), y = Zlib("2");
  WriteBytes(packageFile_, HandBuiltPackage(x + y, u"$System$,x.dll," + IntToText(static_cast<std::int64_t>(x.size())) +
                                                       u",1|$Third$,y.dll," +
                                                       IntToText(static_cast<std::int64_t>(y.size())) + u",1"));
  int calls = 0;
  // A folder without its separator gets one.
  const std::u16string folder = system_.Path().u16string();
  ExtractPackage(Text(packageFile_), destination_.Text(), u"", {}, [&] {
    ++calls;
    return folder;
  });
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(ListFiles(system_.Path()), (std::vector<std::string>{"x.dll", "y.dll"}));
}

TEST_F(Extract, LargeFileInManyChunks) {
  std::string content;
  for (std::int64_t i = 0; content.size() < 3 * 1024 * 1024 + 17; ++i)
    content += std::to_string(i * 7919) + (i % 13 ? "," : "\n");
  const std::string stream = Zlib(content, 1);
  Run(HandBuiltPackage(stream, u",big.txt," + IntToText(static_cast<std::int64_t>(stream.size())) + u"," +
                                   IntToText(static_cast<std::int64_t>(content.size()))));
  EXPECT_TRUE(ReadBytes(destination_.Path() / "big.txt") == content);
}

TEST_F(Extract, PasswordReachesTheEnvelope) {
  const std::string stream = Zlib("secret");
  const std::u16string table = u",s.txt," + IntToText(static_cast<std::int64_t>(stream.size())) + u",6";
  WriteBytes(packageFile_, HandBuiltPackage(stream, table, kStandardTail, u"pa55"));
  EXPECT_FALSE(MessageOf([&] { ExtractPackage(Text(packageFile_), destination_.Text(), u""); }).empty());
  EXPECT_TRUE(ListFiles(destination_.Path()).empty());
  ExtractPackage(Text(packageFile_), destination_.Text(), u"pa55");
  EXPECT_EQ(ReadBytes(destination_.Path() / "s.txt"), "secret");
}

TEST(DefaultSystemFolder, IsTheSystemFolderOnWindowsOnly) {
  const std::u16string folder = DefaultSystemFolder()();
#ifdef _WIN32
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'\\');
  EXPECT_TRUE(fs::is_directory(fs::path(folder)));
  EXPECT_TRUE(fs::exists(fs::path(folder) / "kernel32.dll"));
#else
  EXPECT_TRUE(folder.empty());
#endif
}

}  // namespace
}  // namespace setup
