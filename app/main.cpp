// The entry of Setup.exe: the DLL search, language, command line, running-instance guard, then
// the wizard or the unattended install.
#include <windows.h>

#include "base/Errors.h"
#include "base/Text.h"
#include "config/Global.h"
#include "config/InstallLock.h"
#include "config/InstanceGuard.h"
#include "gui/Application.h"
#include "install/InstallEngine.h"
#include "install/SetupCommandLine.h"
#include "install/SilentInstall.h"
#include "shell/SystemLibraries.h"
#include "wizard/InstallTexts.h"
#include "wizard/SetupForm.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace setup;
  // Before anything can load a DLL by name.
  RestrictDllSearchToSystemFolder();
  Global::LanguageIndex = Global::LanguageIndexForCodePage(GetACP());
  const SetupCommand command = ParseSetupCommand(ArgumentsOf(FromWide(GetCommandLineW())));
  if (!command.valid || command.usage) {
    // Silent mode asks nothing: a bad line only tells its exit code there.
    if (!command.silent || command.usage)
      MessageBoxW(nullptr, WidePtr(InstallTexts(Global::LanguageIndex).usage), L"Setup",
                  MB_OK | (command.valid ? MB_ICONINFORMATION : MB_ICONWARNING));
    return command.valid ? 0 : static_cast<int>(InstallOutcome::BadCommandLine);
  }
  if (!command.logFile.empty()) {
    try {
      OpenSetupLog(command.logFile);
    } catch (const Exception&) {
      return static_cast<int>(InstallOutcome::BadCommandLine);
    }
  }
  // One install or removal of this product at a time: a second one waits a moment, then says so.
  const ProductInstallLock lock(ThisProductLockIdentity(), kInstallLockWait);
  if (!lock.Held()) {
    SetupLog().Line(u"Stopped: another install or removal of this product is running");
    if (!command.silent)
      MessageBoxW(nullptr, WidePtr(AnotherInstallRunningText(Global::LanguageIndex)), L"Setup", MB_OK | MB_ICONWARNING);
    return static_cast<int>(InstallOutcome::AnotherInstallRunning);
  }
  if (command.silent) return RunSilentInstall(command);

  if (ProductIsRunning(Global::LanguageIndex)) return static_cast<int>(InstallOutcome::ProductRunning);
  gui::TApplication& application = gui::Application();
  application.Initialize();
  application.SetIconFromResource(L"AppIcon");
  const TForm1& form = application.CreateForm<TForm1>();
  application.Run();
  return form.ExitCode();
}
