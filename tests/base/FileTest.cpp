#include <gtest/gtest.h>

#include <string>

#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "tests/support/TempFolder.h"

namespace setup {
namespace {

// A path under a fresh temporary folder that does not exist yet.
class Scratch {
 public:
  std::u16string Root() const { return folder_.Text() + u"work"; }

 private:
  testing_support::TempFolder folder_;
};

TEST(FileSystem, ForceDirectoriesMakesMissingParents) {
  const Scratch scratch;
  const std::u16string root = scratch.Root();
  const std::u16string deep = root + u"\\one\\\u6F9C\u5DDD\\three\\";
  EXPECT_FALSE(DirectoryExists(root));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(root + u"\\one\\\u6F9C\u5DDD\\three"));
  EXPECT_TRUE(ForceDirectories(deep));  // already there
  EXPECT_FALSE(FileExists(deep));
  EXPECT_THROW((void)ForceDirectories(u""), EInOutError);
}

TEST(FileSystem, ForceDirectoriesFailsBelowAFile) {
  const Scratch scratch;
  const std::u16string root = scratch.Root();
  ASSERT_TRUE(ForceDirectories(root));
  { FileStream(root + u"\\plain", FileStream::Mode::Create).WriteBuffer("x", 1); }
  EXPECT_FALSE(ForceDirectories(root + u"\\plain\\below"));
}

TEST(FileStream, WritesReadsAndSeeks) {
  const Scratch scratch;
  const std::u16string root = scratch.Root();
  ASSERT_TRUE(ForceDirectories(root));
  const std::u16string name = root + u"\\\u6587\u4EF6.bin";
  {
    FileStream out(name, FileStream::Mode::Create);
    out.WriteBuffer("0123456789", 10);
    EXPECT_EQ(out.Size(), 10);
  }
  EXPECT_TRUE(FileExists(name));
  FileStream in(name, FileStream::Mode::OpenRead);
  EXPECT_EQ(in.Seek(-3, FileStream::Origin::End), 7);
  char buffer[8] = {};
  EXPECT_EQ(in.Read(buffer, 8), 3u);
  EXPECT_EQ(std::string(buffer, 3), "789");
  in.Seek(0, FileStream::Origin::Begin);
  in.ReadBuffer(buffer, 4);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(in.Position(), 4);
  try {
    in.ReadBuffer(buffer, 7);
    ADD_FAILURE() << "short read not reported";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), u"Stream read error");
  }
}

TEST(FileStream, OpenAndCreateFailuresNameTheFile) {
  const Scratch scratch;
  const std::u16string root = scratch.Root();
  const std::u16string missing = root + u"\\missing.stp";
  try {
    FileStream in(missing, FileStream::Mode::OpenRead);
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    const std::u16string prefix = u"Cannot open file \"" + missing + u"\". ";
    EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    EXPECT_GT(e.Message().size(), prefix.size());  // the system's reason follows
  }
  try {
    FileStream out(missing, FileStream::Mode::Create);  // its folder does not exist
    ADD_FAILURE();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind(u"Cannot create file \"" + missing + u"\". ", 0), 0u);
  }
}

TEST(FileSystem, ReplaceAndRemove) {
  const Scratch scratch;
  const std::u16string root = scratch.Root();
  ASSERT_TRUE(ForceDirectories(root));
  { FileStream(root + u"\\a", FileStream::Mode::Create).WriteBuffer("new", 3); }
  { FileStream(root + u"\\b", FileStream::Mode::Create).WriteBuffer("old!", 4); }
  EXPECT_TRUE(ReplaceFileWith(root + u"\\a", root + u"\\b"));
  EXPECT_FALSE(FileExists(root + u"\\a"));
  EXPECT_EQ(FileStream(root + u"\\b", FileStream::Mode::OpenRead).Size(), 3);
  EXPECT_TRUE(RemoveFile(root + u"\\b"));
  EXPECT_TRUE(RemoveEmptyDirectory(root));
  EXPECT_FALSE(DirectoryExists(root));
}

}  // namespace
}  // namespace setup
