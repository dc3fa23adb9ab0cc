// The uninstaller's file list: format, rejected entries and the folders to empty.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/FileList.h"

namespace setup {
namespace {

struct ListCase {
  const char* name;
  std::string text;
  std::vector<std::u16string> entries;
};

class FileListParseTest : public testing::TestWithParam<ListCase> {};

TEST_P(FileListParseTest, GivesTheEntriesInOrder) { EXPECT_EQ(ParseFileList(GetParam().text), GetParam().entries); }

INSTANTIATE_TEST_SUITE_P(
    Lists, FileListParseTest,
    testing::Values(
        ListCase{"Empty", "", {}}, ListCase{"OneLineWithoutEnd", "Glyphor.exe", {u"Glyphor.exe"}},
        ListCase{"LineFeeds",
                 "Glyphor.exe\nUninst.exe\nHelp\\Guide.txt\n",
                 {u"Glyphor.exe", u"Uninst.exe", u"Help\\Guide.txt"}},
        ListCase{"CarriageReturnsAndBlankLines", "a.txt\r\n\r\n  \t\r\nData\\b.dat\r\n", {u"a.txt", u"Data\\b.dat"}},
        ListCase{"ByteOrderMark",
                 "\xEF\xBB\xBF"
                 "a.txt\n",
                 {u"a.txt"}},
        ListCase{"SlashesBecomeBackslashes", "Data/Deep/c.bin\n", {u"Data\\Deep\\c.bin"}},
        // UTF-8 of U+6F9C U+5DDD ("澜川") and a name with blanks and dots inside.
        ListCase{"ChineseAndBlanks", "\xE6\xBE\x9C\xE5\xB7\x9D\\read me.v2.txt\n", {u"\u6F9C\u5DDD\\read me.v2.txt"}}),
    [](const testing::TestParamInfo<ListCase>& param) { return param.param.name; });

struct BadCase {
  const char* name;
  std::string text;
  std::u16string message;
};

class FileListRejectTest : public testing::TestWithParam<BadCase> {};

TEST_P(FileListRejectTest, RaisesWithTheLineAndEntry) {
  try {
    ParseFileList(GetParam().text);
    FAIL() << "no error";
  } catch (const EFileListError& error) {
    EXPECT_EQ(error.Message(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, FileListRejectTest,
    testing::Values(
        BadCase{"ParentFolder", "a.txt\n..\\b.txt\n", u"Invalid file list entry on line 2: ..\\b.txt"},
        BadCase{"ParentInside", "Data\\..\\..\\b.txt", u"Invalid file list entry on line 1: Data\\..\\..\\b.txt"},
        BadCase{"CurrentFolder", ".\\b.txt", u"Invalid file list entry on line 1: .\\b.txt"},
        BadCase{"Rooted", "a\n\n\\Windows\\b.dll", u"Invalid file list entry on line 3: \\Windows\\b.dll"},
        BadCase{"RootedWithSlash", "/etc/passwd", u"Invalid file list entry on line 1: \\etc\\passwd"},
        BadCase{"Drive", "C:\\Windows\\b.dll", u"Invalid file list entry on line 1: C:\\Windows\\b.dll"},
        BadCase{"DriveRelative", "C:b.dll", u"Invalid file list entry on line 1: C:b.dll"},
        BadCase{"AlternateStream", "a.txt:hidden", u"Invalid file list entry on line 1: a.txt:hidden"},
        BadCase{"UncPath", "\\\\server\\share\\a", u"Invalid file list entry on line 1: \\\\server\\share\\a"},
        BadCase{"EmptyComponent", "Data\\\\a.txt", u"Invalid file list entry on line 1: Data\\\\a.txt"},
        BadCase{"TrailingSeparator", "Data\\", u"Invalid file list entry on line 1: Data\\"},
        BadCase{"Wildcard", "*.txt", u"Invalid file list entry on line 1: *.txt"},
        BadCase{"ControlCharacter", "a\tb.txt", u"Invalid file list entry on line 1: a\tb.txt"},
        BadCase{"MalformedUtf8", "a\xFF.txt", u"Invalid file list entry on line 1: a\uFFFD.txt"},
        // The extractor's rules: components of dots and blanks, device names, every control character.
        BadCase{"DotsAndBlank", "Data\\.. \\a.txt", u"Invalid file list entry on line 1: Data\\.. \\a.txt"},
        BadCase{"ThreeDots", "...\\a.txt", u"Invalid file list entry on line 1: ...\\a.txt"},
        BadCase{"DotBlank", ". \\a.txt", u"Invalid file list entry on line 1: . \\a.txt"},
        BadCase{"DotsOnlyName", "Data\\...", u"Invalid file list entry on line 1: Data\\..."},
        BadCase{"Console", "a.txt\nCON", u"Invalid file list entry on line 2: CON"},
        BadCase{"NulWithExtension", "Data\\nul.txt", u"Invalid file list entry on line 1: Data\\nul.txt"},
        BadCase{"Port", "COM1", u"Invalid file list entry on line 1: COM1"},
        BadCase{"PrinterFolder", "lpt1\\a.txt", u"Invalid file list entry on line 1: lpt1\\a.txt"},
        BadCase{"Delete", "a\x7F.txt", u"Invalid file list entry on line 1: a\u007F.txt"},
        BadCase{"C1Control",
                "a\xC2\x9B"
                "2J.txt",
                u"Invalid file list entry on line 1: a\u009B"
                u"2J.txt"}),
    [](const testing::TestParamInfo<BadCase>& param) { return param.param.name; });

TEST(FileList, FoldersAreEachOnceAndDeepestFirst) {
  const std::vector<std::u16string> files = {u"a.txt", u"Data\\b.dat", u"Data\\Deep\\Deeper\\c.bin", u"Help\\Guide.txt",
                                             u"Data\\Deep\\d.bin"};
  const std::vector<std::u16string> expected = {u"Data\\Deep\\Deeper", u"Data\\Deep", u"Data", u"Help"};
  EXPECT_EQ(FoldersOfFiles(files), expected);
}

TEST(FileList, FilesInTheInstallFolderItselfNeedNoFolder) {
  EXPECT_TRUE(FoldersOfFiles({u"a.txt", u"Uninst.exe"}).empty());
}

}  // namespace
}  // namespace setup
