// The install engine's rules for a run that ends early, in this process: a cancel that comes after
// the last file was written undoes the install instead of registering it (the wizard and the
// unattended mode share the rule), and a run that never got to extract (its worker could not
// start) leaves no folder behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/StepLog.h"
#include "base/Text.h"
#include "install/InstallEngine.h"
#include "package/PackageWriter.h"
#include "shell/ComApartment.h"
#include "shell/RegistryKey.h"
#include "shell/ShellFolders.h"
#include "tests/support/TempFolder.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kDisplayName[] = u"Engine Rule Probe";
constexpr char16_t kProductKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Engine Rule Probe";

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool ProductKeyExists() {
  UniqueRegistryKey key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, WidePtr(std::u16string(kProductKey)), 0, KEY_READ, key.Put()) ==
         ERROR_SUCCESS;
}

// The shortcuts of a machine-wide install: the all-users desktop and Start menu entry.
std::vector<fs::path> MachineLinks() {
  return {fs::path(GetCommonFolder(CommonPlace::Desktop) + u"\\" + kDisplayName + u".lnk"),
          fs::path(GetCommonFolder(CommonPlace::Programs) + u"\\" + kDisplayName + u".lnk")};
}

class InstallRunRules : public testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(work_.Path() / "Probe.exe", std::ios::binary) << "the program";
    std::ofstream(work_.Path() / "notes.txt", std::ios::binary) << "some notes";
    const fs::path packageFile = work_.Path() / "probe.stp";
    WritePackage({{u"", u"Probe.exe", (work_.Path() / "Probe.exe").u16string(), std::nullopt},
                  {u"docs\\", u"notes.txt", (work_.Path() / "notes.txt").u16string(), std::nullopt}},
                 packageFile.u16string(), {});
    package_ = ReadAll(packageFile);
    choices_.setupDir = IncludeTrailingPathDelimiter(destination_.u16string());
    choices_.desktopShortcut = true;
    choices_.displayName = kDisplayName;
    choices_.shortName = u"Probe";
    choices_.version = u"1.0";
  }
  void TearDown() override {
    std::error_code ignored;
    for (const fs::path& link : MachineLinks()) fs::remove(link, ignored);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, WidePtr(std::u16string(kProductKey)));
  }
  std::span<const std::byte> Package() const { return std::as_bytes(std::span(package_.data(), package_.size())); }

  const ComApartment apartment_;
  testing_support::TempFolder work_;
  // Two levels that do not exist yet: Prepare makes both.
  const fs::path destination_ = work_.Path() / "Velmora Probe" / "Probe";
  std::string package_;
  InstallChoices choices_;
  StepLog log_;
};

TEST_F(InstallRunRules, CancelAfterTheLastFileUndoesTheInstall) {
  InstallRun run(choices_, Package(), log_);
  ASSERT_TRUE(run.Prepare());
  ASSERT_TRUE(run.Extract({}));
  ASSERT_EQ(ReadAll(destination_ / "docs" / "notes.txt"), "some notes");
  run.RequestCancel();
  EXPECT_FALSE(run.Finish());
  EXPECT_EQ(run.Failure().outcome, InstallOutcome::Cancelled);
  EXPECT_FALSE(fs::exists(work_.Path() / "Velmora Probe"));
  EXPECT_FALSE(ProductKeyExists());
  for (const fs::path& link : MachineLinks()) EXPECT_FALSE(fs::exists(link)) << link.string();
}

TEST_F(InstallRunRules, FinishWithoutCancelRegisters) {
  InstallRun run(choices_, Package(), log_);
  ASSERT_TRUE(run.Prepare());
  ASSERT_TRUE(run.Extract({}));
  EXPECT_TRUE(run.Finish());
  EXPECT_EQ(ReadAll(destination_ / "Probe.exe"), "the program");
  EXPECT_TRUE(ProductKeyExists());
  for (const fs::path& link : MachineLinks()) EXPECT_TRUE(fs::exists(link)) << link.string();
}

// The worker never started: whether the run is abandoned or just ends, the folders it made go.
TEST_F(InstallRunRules, RunThatNeverExtractedLeavesNoFolder) {
  {
    InstallRun run(choices_, Package(), log_);
    ASSERT_TRUE(run.Prepare());
    ASSERT_TRUE(fs::is_directory(destination_));
    run.Abandon();
    EXPECT_EQ(run.Failure().outcome, InstallOutcome::Cancelled);
    EXPECT_FALSE(fs::exists(work_.Path() / "Velmora Probe"));
  }
  {
    InstallRun run(choices_, Package(), log_);
    ASSERT_TRUE(run.Prepare());
    ASSERT_TRUE(fs::is_directory(destination_));
  }
  EXPECT_FALSE(fs::exists(work_.Path() / "Velmora Probe"));
}

}  // namespace
}  // namespace setup
