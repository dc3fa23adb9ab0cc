#include "tools/stpack/DeploymentNotes.h"

#include "base/Text.h"
#include "product/ExitCodes.h"
#include "product/ProductDefaults.h"

namespace setup::stpack {

namespace {

// Intune's return-code types: it asks again later for a retry and reports every other code
// that is not success as failed.
std::u16string_view IntuneType(int code) {
  if (code == 0) return u"Success";
  if (code == product::kExitAnotherInstall) return u"Retry";
  if (code == product::kExitRestartNeeded) return u"Soft reboot";
  return u"Failed";
}

std::u16string Quoted(std::u16string_view text) {
  // Appended piece by piece: the compiler's overlap check misreads `literal + string` here.
  std::u16string quoted;
  quoted.reserve(text.size() + 2);
  quoted += u'"';
  quoted += text;
  quoted += u'"';
  return quoted;
}

}  // namespace

std::u16string DeploymentNotes(const DeploymentFacts& facts) {
  // A 32-bit program sees the 32-bit Program Files folder and registry view of 64-bit Windows; the
  // user's own folders and registry are the same for both.
  const std::u16string programFiles = facts.x86 ? u"C:\\Program Files (x86)" : u"C:\\Program Files";
  const std::u16string installParent = facts.perUser
                                           ? std::u16string(product::kPerUserProgramsFolder)
                                           : programFiles + u"\\" + std::u16string(product::kInstallFolderParent);
  const std::u16string uninstaller = installParent + u"\\" + facts.shortName + u"\\Uninst.exe";
  const std::u16string setup =
      facts.setupFileName.find(u' ') == std::u16string::npos ? facts.setupFileName : Quoted(facts.setupFileName);

  std::u16string text = u"\nIntune (Windows app, Win32):\n";
  text += u"  Install command:    " + setup + u" /S\n";
  text += u"  Uninstall command:  " + Quoted(uninstaller) + u" /S\n";
  text += facts.x86 && !facts.perUser ? u"                      (the default install folder's, on 64-bit Windows)\n"
                                      : u"                      (the default install folder's)\n";
  text += facts.perUser ? u"  Install behavior:   User\n" : u"  Install behavior:   System\n";
  text += u"  Detection rule:     Registry\n";
  const std::u16string_view rootKey = facts.perUser ? u"HKEY_CURRENT_USER" : u"HKEY_LOCAL_MACHINE";
  text += u"    Key path:         " + std::u16string(rootKey) + u"\\" + std::u16string(product::kUninstallRoot) +
          u"\\" + facts.productCode + u"\n";
  text += u"    Value name:       DisplayVersion\n";
  text += u"    Detection method: String comparison, Equals " + facts.version + u"\n";
  text += facts.x86 ? u"    Associated with a 32-bit app on 64-bit clients: Yes\n"
                    : u"    Associated with a 32-bit app on 64-bit clients: No\n";
  text += u"  Return codes:\n";
  text += u"    0 Success\n";
  for (const product::ExitCode& code : product::kSetupExitCodes) {
    text += u"    " + IntToText(code.code) + u" " + std::u16string(IntuneType(code.code)) + u"  (" +
            std::u16string(code.meaning) + u")\n";
  }
  text += u"\nChocolatey (chocolateyInstall.ps1):\n";
  text += u"  silentArgs     = '/S'\n";
  text += u"  validExitCodes = @(0, 3010)\n";
  return text;
}

}  // namespace setup::stpack
