#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"
#include "shell/ShellPaths.h"

namespace setup {
namespace {

struct PathCase {
  const char16_t* input;
  const char* expected;
};

class ShortcutFileNameTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ShortcutFileNameTest, ReplacesExtensionAndDropsFolder) {
  EXPECT_EQ(ToUtf8(ShortcutFileName(GetParam().input)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, ShortcutFileNameTest,
                         ::testing::Values(PathCase{u"Tool", "Tool.lnk"}, PathCase{u"Tool.exe", "Tool.lnk"},
                                           PathCase{u"Tool 2.5", "Tool 2.lnk"}, PathCase{u"Sub\\Tool", "Tool.lnk"},
                                           PathCase{u"a.b\\Tool", "Tool.lnk"},  // a "." in a folder is no extension
                                           PathCase{u"C:Tool.txt", "Tool.lnk"}, PathCase{u"..\\..\\Evil", "Evil.lnk"},
                                           PathCase{u"Archive.tar.gz", "Archive.tar.lnk"},
                                           PathCase{u"\u6F9C\u5DDD.exe", "\xE6\xBE\x9C\xE5\xB7\x9D.lnk"}));

class FolderPartTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(FolderPartTest, KeepsUpToLastDelimiter) { EXPECT_EQ(ToUtf8(FolderPart(GetParam().input)), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Paths, FolderPartTest,
    ::testing::Values(PathCase{u"C:\\Program Files\\Glyphor\\Glyphor.exe", "C:\\Program Files\\Glyphor\\"},
                      PathCase{u"C:Glyphor.exe", "C:"}, PathCase{u"Glyphor.exe", ""},
                      PathCase{u"\\\\server\\share\\a.exe", "\\\\server\\share\\"}, PathCase{u"C:\\", "C:\\"},
                      PathCase{u"", ""}, PathCase{u"unable to resolve link", ""}));

}  // namespace
}  // namespace setup
