// Links below the destination or the system folder: extraction never writes through a symbolic
// link (or, on Windows, a junction or other reparse point) that a user may have planted there.
// The destination itself may be a link; only the folders below it are checked.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <system_error>
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

const std::string kData = Zlib("new");

class ExtractLink : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(outside_);
    WriteBytes(outside_ / "victim.txt", "victim");
  }

  // Makes a folder link, or skips the test where the system makes none (or only pretends to).
  // Wine 8 makes none (CreateSymbolicLinkW fails with error 2), and shows a host symbolic link in
  // its drives as a plain folder without FILE_ATTRIBUTE_REPARSE_POINT: nothing to test there.
  void FolderLink(const fs::path& target, const fs::path& link) {
#ifdef _WIN32
    if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) || !fs::is_symlink(link)) {
      GTEST_SKIP() << "this system makes no folder links: CreateSymbolicLinkW error " << GetLastError();
    }
#else
    std::error_code error;
    fs::create_directory_symlink(target, link, error);
    if (error || !fs::is_symlink(link)) GTEST_SKIP() << "this system makes no folder links: " << error.message();
#endif
  }

  // Extracts a first row "a.txt" and then the given row.
  void Run(const std::u16string& row, const ExtractProgressHandler& progress = {}) {
    WriteBytes(packageFile_, HandBuiltPackage(kData + kData, u",a.txt," + Size(kData) + u",3|" + row));
    ExtractPackage(Text(packageFile_), destination_.Text(), u"", progress, [this] { return system_.Text(); });
  }
  std::string Fail(const std::u16string& row, const ExtractProgressHandler& progress = {}) {
    return MessageOf([&] { Run(row, progress); });
  }

  void ExpectOutsideUntouched() {
    EXPECT_EQ(ListFiles(outside_), std::vector<std::string>{"victim.txt"});
    EXPECT_EQ(ReadBytes(outside_ / "victim.txt"), "victim");
  }

  TempFolder work_;
  NestedFolder destination_;
  NestedFolder system_;
  fs::path outside_ = work_.Path() / "outside";
  fs::path packageFile_ = work_.Path() / "Setup.stp";
};

struct LinkCase {
  const char* name;
  bool inSystemFolder;      // the link lies below the system folder, else below the destination
  const char* realFolders;  // made as plain folders first ("" for none)
  const char* link;         // the link's place below its base
  bool relative;            // a relative link ("../../.."-style) rather than an absolute one
  std::u16string folderCell;
  std::string namedFolder;  // what the message names after the base
};

void PrintTo(const LinkCase& c, std::ostream* out) { *out << c.name; }

class LinkedFolder : public ExtractLink, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkedFolder, FailsBeforeAnyFileNamingTheFolder) {
  const LinkCase& c = GetParam();
  const fs::path base = c.inSystemFolder ? system_.Path() : destination_.Path();
  if (*c.realFolders) fs::create_directories(base / c.realFolders);
  const fs::path link = base / c.link;
  FolderLink(c.relative ? fs::relative(outside_, link.parent_path()) : outside_, link);
  if (IsSkipped()) return;

  const std::u16string baseText = c.inSystemFolder ? system_.Text() : destination_.Text();
  EXPECT_EQ(Fail(c.folderCell + u",c.txt," + Size(kData) + u",3"),
            "The target folder \"" + ToUtf8(baseText) + c.namedFolder + "\" is a link to another place");
  ExpectOutsideUntouched();
  // Checked for the whole table first: not even the first row's file was written.
  EXPECT_FALSE(fs::exists(destination_.Path() / "a.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkedFolder,
    ::testing::Values(LinkCase{"Absolute", false, "", "sub", false, u"sub\\", "sub"},
                      LinkCase{"AbsoluteWithSlash", false, "", "sub", false, u"sub/", "sub"},
                      LinkCase{"RelativeTwoLevelsDown", false, "sub", "sub/deeper", true, u"sub\\deeper\\",
                               "sub\\deeper"},
                      LinkCase{"AboveAFolderToMake", false, "", "sub", false, u"sub\\new\\", "sub"},
                      LinkCase{"BelowTheSystemFolder", true, "", "sub", false, u"$System$sub\\", "sub"}),
    [](const auto& item) { return std::string(item.param.name); });

// A link planted after the table was checked, between two files, is found when the second file's
// folder is reached.
TEST_F(ExtractLink, LinkPlantedDuringExtractionIsRefused) {
  FolderLink(outside_, work_.Path() / "probe");
  if (IsSkipped()) return;
  bool planted = false;
  const std::string message = Fail(u"late\\,c.txt," + Size(kData) + u",3", [&](std::int64_t) {
    if (planted) return;
    planted = true;
    fs::create_directory_symlink(outside_, destination_.Path() / "late");
  });
  EXPECT_EQ(message, "The target folder \"" + ToUtf8(destination_.Text()) + "late\" is a link to another place");
  ExpectOutsideUntouched();
  EXPECT_EQ(ReadBytes(destination_.Path() / "a.txt"), "new");
}

// A link at the target's own name is replaced by the file; what it pointed to stays as it was.
TEST_F(ExtractLink, LinkAtTheTargetNameIsReplacedNotFollowed) {
  std::error_code error;
  fs::create_symlink(outside_ / "victim.txt", destination_.Path() / "c.txt", error);
  if (error || !fs::is_symlink(destination_.Path() / "c.txt")) {
    GTEST_SKIP() << "this system makes no file links: " << error.message();
  }
  Run(u",c.txt," + Size(kData) + u",3");
  ExpectOutsideUntouched();
  EXPECT_FALSE(fs::is_symlink(destination_.Path() / "c.txt"));
  EXPECT_EQ(ReadBytes(destination_.Path() / "c.txt"), "new");
}

// The destination chosen by the user may itself be a link to a folder.
TEST_F(ExtractLink, DestinationThatIsALinkIsUsed) {
  const fs::path linked = work_.Path() / "linked";
  FolderLink(outside_, linked);
  if (IsSkipped()) return;
  WriteBytes(packageFile_, HandBuiltPackage(kData, u"sub\\,c.txt," + Size(kData) + u",3"));
  ExtractPackage(Text(packageFile_), Text(linked), u"", {}, [this] { return system_.Text(); });
  EXPECT_EQ(ReadBytes(outside_ / "sub" / "c.txt"), "new");
}

}  // namespace
}  // namespace setup
