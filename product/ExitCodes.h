// The exit codes of Setup.exe and Uninst.exe in unattended mode, with what each means and how a
// package manager should take it. One table, so the programs, stpack's manifests and the
// README's table say the same thing.
#pragma once

#include <array>
#include <string_view>

namespace setup::product {

struct ExitCode {
  int code;
  std::u16string_view meaning;
  // The winget manifest's ReturnResponse for a setup program's code; empty for the uninstaller.
  std::u16string_view response;
};

inline constexpr int kExitInstalled = 0;
inline constexpr int kExitBadCommandLine = 1;
inline constexpr int kExitProductRunning = 2;
inline constexpr int kExitUnusableDestination = 3;
inline constexpr int kExitNotEnoughSpace = 4;
inline constexpr int kExitDamagedPackage = 5;
inline constexpr int kExitFileNotWritten = 6;
inline constexpr int kExitCancelled = 1602;       // the code Windows Installer uses for a cancel
inline constexpr int kExitAnotherInstall = 1618;  // and for another installation in progress
inline constexpr int kExitNewerInstalled = 1638;  // another version of this product is installed
inline constexpr int kExitRestartNeeded = 3010;   // installed; a restart finishes the job

// Success (0) is left out: the manifest format does not admit it.
inline constexpr std::array<ExitCode, 10> kSetupExitCodes{{
    {kExitBadCommandLine, u"bad command line", u"invalidParameter"},
    {kExitProductRunning, u"the product is running", u"packageInUse"},
    // No response names a folder that cannot be used; the user's own folder is the likely cause.
    {kExitUnusableDestination, u"unusable destination", u"contactSupport"},
    {kExitNotEnoughSpace, u"not enough space", u"diskFull"},
    {kExitDamagedPackage, u"damaged package", u"contactSupport"},
    // A file that could not be written (a folder in its place, a full disk): the install rolls
    // back. A file that a running program holds open waits for the restart instead (3010).
    {kExitFileNotWritten, u"a file could not be written", u"fileInUse"},
    {kExitCancelled, u"cancelled by the user", u"cancelledByUser"},
    {kExitAnotherInstall, u"another install of this product is running", u"installInProgress"},
    {kExitNewerInstalled, u"a newer version is installed and downgrading was not allowed", u"downgrade"},
    // The product is installed; files that were in use are replaced when Windows restarts.
    {kExitRestartNeeded, u"installed; restart needed to replace files in use", u"rebootRequiredToFinish"},
}};

inline constexpr int kExitRemoved = 0;
inline constexpr int kExitFilesLeft = 1;
inline constexpr int kExitUninstallProductRunning = 3;
inline constexpr int kExitUninstallFailed = 4;
inline constexpr int kExitAnsweredNo = 1602;

inline constexpr std::array<ExitCode, 6> kUninstallExitCodes{{
    {kExitRemoved, u"removed", u""},
    {kExitFilesLeft, u"some files left", u""},
    {kExitUninstallProductRunning, u"the product is running", u""},
    {kExitUninstallFailed, u"failure", u""},
    {kExitAnsweredNo, u"answered No", u""},
    {kExitAnotherInstall, u"another install or removal running", u""},
}};

}  // namespace setup::product
