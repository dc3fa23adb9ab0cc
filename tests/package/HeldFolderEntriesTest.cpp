// Removing and renaming through a held folder: the last name is acted on itself, never followed,
// and a folder on the way that is a link is never reached. What the uninstaller and the journal's
// rollback and recovery build on.
#include <gtest/gtest.h>

#include <optional>

#include "package/HeldFolderEntries.h"
#include "package/PackageErrors.h"
#include "package/TargetFolder.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

class HeldFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(base_.Path() / "sub" / "file.txt", "ours");
    WriteBytes(outside_.Path() / "precious.txt", "someone else's");
  }
  TempFolder base_;
  TempFolder outside_;
};

TEST_F(HeldFolder, RemovesRenamesAndTellsWhatIsThere) {
  const TargetFolder folder(base_.Path().u16string(), u"sub/", TargetFolder::Missing::Stop);
  ASSERT_TRUE(folder.IsOpen());
  EXPECT_TRUE(NameExistsIn(folder, u"file.txt"));
  EXPECT_FALSE(NameExistsIn(folder, u"other.txt"));
  EXPECT_TRUE(RenameIn(folder, u"file.txt", u"other.txt"));
  EXPECT_EQ(ReadBytes(base_.Path() / "sub" / "other.txt"), "ours");
  EXPECT_TRUE(RemoveFileIn(folder, u"other.txt"));
  EXPECT_FALSE(NameExistsIn(folder, u"other.txt"));
  EXPECT_FALSE(RemoveFileIn(folder, u"other.txt"));
  fs::create_directory(base_.Path() / "sub" / "empty");
  EXPECT_TRUE(RemoveEmptyFolderIn(folder, u"empty"));
  EXPECT_FALSE(fs::exists(base_.Path() / "sub" / "empty"));
}

#ifndef _WIN32
// Links planted in the folder: the file link and the folder link go as links, what they lead to
// stays; a folder on the way that is a link stops the walk before anything is touched.
TEST_F(HeldFolder, LinksAreTakenAsLinksAndNeverWalkedThrough) {
  fs::create_symlink(outside_.Path() / "precious.txt", base_.Path() / "sub" / "file-link");
  fs::create_directory_symlink(outside_.Path(), base_.Path() / "sub" / "folder-link");
  const TargetFolder folder(base_.Path().u16string(), u"sub/", TargetFolder::Missing::Stop);
  ASSERT_TRUE(folder.IsOpen());
  EXPECT_TRUE(RemoveFileIn(folder, u"file-link"));
  EXPECT_TRUE(RemoveEmptyFolderIn(folder, u"folder-link"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(base_.Path() / "sub" / "folder-link")));
  EXPECT_EQ(ReadBytes(outside_.Path() / "precious.txt"), "someone else's");

  fs::create_directory_symlink(outside_.Path(), base_.Path() / "linked");
  EXPECT_THROW(TargetFolder(base_.Path().u16string(), u"linked/", TargetFolder::Missing::Stop), EPackageError);
  EXPECT_EQ(ReadBytes(outside_.Path() / "precious.txt"), "someone else's");
}
#endif

}  // namespace
}  // namespace setup
