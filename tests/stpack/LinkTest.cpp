// Links in the folder that stpack pack and stpack build walk: refused unless allowed, and even then
// only links to files inside the folder; a refused folder writes no package.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "PackageBytes.h"
#include "StpackFixture.h"

namespace setup::testing_support {
namespace {

namespace fs = std::filesystem;

struct LinkCase {
  const char* label;
  const char* linkName;  // below the source folder
  const char* target;    // "OUTSIDE/..." stands for the folder beside the source folder
  bool allowInternal;
  std::string message;  // the whole last line of standard error
};

class PackLinks : public StpackTest, public testing::WithParamInterface<LinkCase> {
 protected:
  void SetUp() override {
    WriteFileBytes(Temp(u"src/a.txt"), "alpha");
    WriteFileBytes(Temp(u"src/sub/b.txt"), "beta");
    WriteFileBytes(Temp(u"outside/secret.txt"), "secret");
  }

  // Makes the link; false where this system lets no link be made (a Windows account without the
  // right to make symbolic links).
  bool MakeLink(const std::string& name, const std::string& target) {
    std::string resolved = target;
    if (resolved.starts_with("OUTSIDE")) resolved.replace(0, 7, Temp(u"outside").string());
    std::error_code error;
    const fs::path link = Temp(u"src") / name;
    // A relative target is read from the link's own folder.
    if (fs::is_directory(link.parent_path() / resolved)) {
      fs::create_directory_symlink(resolved, link, error);
    } else {
      fs::create_symlink(resolved, link, error);
    }
    return !error;
  }

  std::vector<std::u16string> PackArguments(bool allowInternal) {
    std::vector<std::u16string> arguments{u"pack", Text(Temp(u"src")), u"-o", Text(Temp(u"out.stp"))};
    if (allowInternal) arguments.push_back(u"--allow-internal-links");
    return arguments;
  }
};

TEST_P(PackLinks, RefusesTheLinkByNameAndWritesNothing) {
  if (!MakeLink(GetParam().linkName, GetParam().target)) GTEST_SKIP() << "no symbolic links on this system";
  const ToolResult result = Expect(1, PackArguments(GetParam().allowInternal));
  EXPECT_EQ(result.LastErrorLine(), GetParam().message) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(fs::exists(Temp(u"out.stp")));
}

const std::string kNoLinks =
    "\": it is a link (symbolic link, junction or other reparse point); stpack follows no links "
    "(--allow-internal-links packs links to files inside the folder)";

INSTANTIATE_TEST_SUITE_P(
    Folders, PackLinks,
    testing::Values(LinkCase{"file_outside", "shadow.txt", "OUTSIDE/secret.txt", false,
                             "cannot pack \"shadow.txt" + kNoLinks},
                    LinkCase{"folder_outside", "docs", "OUTSIDE", false, "cannot pack \"docs" + kNoLinks},
                    LinkCase{"nested_file_outside", "sub/shadow.txt", "OUTSIDE/secret.txt", false,
                             "cannot pack \"sub\\shadow.txt" + kNoLinks},
                    LinkCase{"inside_without_option", "copy.txt", "a.txt", false, "cannot pack \"copy.txt" + kNoLinks},
                    LinkCase{"dangling", "gone.txt", "missing.txt", false, "cannot pack \"gone.txt" + kNoLinks},
                    LinkCase{"dangling_allowed", "gone.txt", "missing.txt", true,
                             "cannot pack \"gone.txt\": it is a link to nothing that exists"},
                    LinkCase{"folder_inside_allowed", "again", "sub", true,
                             "cannot pack \"again\": it is a link to a folder; only links to files are packed"}),
    [](const auto& item) { return std::string(item.param.label); });

// The one row whose message holds a path of this machine.
TEST_F(PackLinks, AnAllowedLinkMayNotLeaveTheFolder) {
  if (!MakeLink("shadow.txt", "OUTSIDE/secret.txt")) GTEST_SKIP() << "no symbolic links on this system";
  const ToolResult result = Expect(1, PackArguments(true));
  const std::string outside = fs::canonical(Temp(u"outside/secret.txt")).string();
  EXPECT_EQ(result.LastErrorLine(),
            "cannot pack \"shadow.txt\": it is a link to \"" + outside + "\", outside the folder");
  EXPECT_FALSE(fs::exists(Temp(u"out.stp")));
}

TEST_F(PackLinks, AnAllowedLinkInsideIsPackedAsTheFileItLeadsTo) {
  if (!MakeLink("copy.txt", "sub/b.txt")) GTEST_SKIP() << "no symbolic links on this system";
  Expect(0, PackArguments(true));
  Expect(0, {u"extract", Text(Temp(u"out.stp")), Text(Temp(u"dest"))});
  EXPECT_FALSE(fs::is_symlink(Temp(u"dest/copy.txt")));
  EXPECT_EQ(ReadFileBytes(Temp(u"dest/copy.txt")), "beta");
  EXPECT_EQ(ReadFileBytes(Temp(u"dest/sub/b.txt")), "beta");
  EXPECT_EQ(ReadFileBytes(Temp(u"dest/a.txt")), "alpha");
}

}  // namespace
}  // namespace setup::testing_support
