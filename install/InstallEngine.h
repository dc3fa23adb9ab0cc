// The install itself, shared by the wizard and the unattended mode: the unfinished attempt of an
// earlier run undone, the free space checked, the destination made, the embedded package
// extracted under a journal (on a worker thread in the wizard), then the shortcuts and the
// Uninstall registration, and the journal committed. A failure or a cancel at any point before
// the commit leaves the folders, the system folder, the shortcuts and the registry as they were.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/StepLog.h"
#include "install/UninstallEntry.h"
#include "install/Versions.h"
#include "package/InstallJournal.h"
#include "product/ExitCodes.h"

namespace setup {

// What an install ended with: the exit codes of Setup.exe, in the wizard and unattended, from the
// one table of codes (the two that deployment tools act on have the numbers they know: 1602 the
// user cancelled, 1618 another install is running, retry later).
enum class InstallOutcome : int {
  Installed = product::kExitInstalled,
  BadCommandLine = product::kExitBadCommandLine,
  ProductRunning = product::kExitProductRunning,
  UnusableDestination = product::kExitUnusableDestination,
  TooLittleSpace = product::kExitNotEnoughSpace,
  DamagedPackage = product::kExitDamagedPackage,
  WriteFailure = product::kExitFileNotWritten,
  Cancelled = product::kExitCancelled,
  AnotherInstallRunning = product::kExitAnotherInstall,
  NewerInstalled = product::kExitNewerInstalled,
  // Installed, but files that other programs held open are replaced at the next restart.
  RestartNeeded = product::kExitRestartNeeded,
};

struct InstallChoices {
  std::u16string setupDir;  // normalised, ending in "\"
  bool desktopShortcut = true;
  bool quickLaunchShortcut = false;
  std::int32_t languageIndex = 2;
  std::u16string displayName;
  std::u16string shortName;
  std::u16string version;
  ProductIdentity identity;  // what names the Uninstall entry, and finds an earlier install
  InstallScope scope = InstallScope::Machine;
  bool allowDowngrade = false;  // a newer version found installed is replaced all the same
};

// This program's product and whom it installs for, from its configuration strings.
ProductIdentity ThisProductIdentity();
InstallScope ThisProductScope();

// The install of this product that an earlier Setup registered in this scope (on this machine, or
// for this user), by any name the product's entry may have had; nothing when there is none.
std::optional<RegisteredInstall> FindEarlierInstall(const ProductIdentity& product, InstallScope scope);

struct InstallFailure {
  InstallOutcome outcome = InstallOutcome::Installed;
  std::u16string file;            // the file being written when it failed, if any
  std::u16string reason;          // the error's text
  std::int64_t missingBytes = 0;  // for TooLittleSpace
};

// The log of this run: silent until OpenSetupLog has named its file.
StepLog& SetupLog();
// Raises EFCreateError when the file cannot be created.
void OpenSetupLog(const std::u16string& fileName);

// The package resource of this program. Raises Exception when it has none.
std::span<const std::byte> EmbeddedPackage();

struct PackageTable;

class InstallRun {
 public:
  InstallRun(InstallChoices choices, std::span<const std::byte> package, StepLog& log);
  ~InstallRun();
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;

  // On the calling thread, before anything is written: finds the earlier install and decides what
  // this one is to it (a newer version installed stops it unless downgrading is allowed), undoes
  // an unfinished earlier attempt in the destination, compares the volume's free space with the
  // package's unpacked size, and makes the destination folder. False with Failure() set when the
  // install cannot go on.
  bool Prepare();
  // The extraction under the journal; may run on a worker thread. `onPercent` receives the share
  // of bytes written, 0 to 100, only when it changes. Over an earlier install in the same folder,
  // the files that install listed and this package does not carry are dropped under the same
  // journal; what the user made there is not the product's and stays. On failure or cancel everything is rolled
  // back before it returns false. Never raises.
  bool Extract(const std::function<void(std::int64_t percent)>& onPercent);
  // After a successful Extract, on a thread with a COM apartment: shortcuts, Uninstall key, and
  // the journal committed. A cancel requested before it begins, even after the last file was
  // written, undoes the install instead (as Abandon) and gives false: the wizard and the
  // unattended mode keep one rule.
  bool Finish();
  // Undoes what the run has done so far: the extracted files when Extract succeeded, else the
  // folders Prepare made.
  void Abandon();

  void RequestCancel() noexcept { cancel_ = true; }
  const InstallFailure& Failure() const noexcept { return failure_; }
  // After a successful Extract: some files were in use and are replaced at the next restart.
  bool RestartNeeded() const noexcept { return restartNeeded_; }
  const InstallChoices& Choices() const noexcept { return choices_; }
  // What Prepare found: the kind of install, and the version installed before (empty for none).
  InstallKind Kind() const noexcept { return kind_; }

 private:
  void Fail(InstallOutcome outcome, std::u16string reason);
  // The folders Prepare made and no journal has taken over, innermost first.
  void RemoveCreatedFolders() noexcept;

  InstallChoices choices_;
  std::span<const std::byte> package_;
  StepLog& log_;
  std::vector<std::u16string> createdFolders_;
  JournalScope scope_;  // where the journal lies and what it may touch, set by Prepare
  std::unique_ptr<InstallJournal> journal_;
  std::atomic<bool> cancel_{false};
  InstallFailure failure_;
  bool restartNeeded_ = false;
  std::u16string currentFile_;
  std::unique_ptr<PackageTable> table_;  // read by Prepare, used by Extract
  InstallKind kind_ = InstallKind::Fresh;
  std::vector<std::u16string> dropped_;  // the earlier install's files this package does not carry
  // Decides the kind of install from the earlier one; false (Failure() set) for a refused downgrade.
  bool DecideKind();
  // The files of the earlier install in the destination that this package no longer carries.
  void FindDroppedFiles();
  // The package's unpacked size, from the table Prepare read (0 before).
  std::int64_t TotalUnpacked() const noexcept;
};

}  // namespace setup
