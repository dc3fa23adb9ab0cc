// The entry of Setup.exe: the DLL search, language, running-instance guard, then the wizard.
#include <windows.h>

#include "config/Global.h"
#include "config/InstanceGuard.h"
#include "shell/SystemLibraries.h"
#include "wizard/SetupForm.h"
#include "gui/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace setup;
  // Before anything can load a DLL by name.
  RestrictDllSearchToSystemFolder();
  Global::LanguageIndex = Global::LanguageIndexForCodePage(GetACP());
  if (!ProductIsRunning(Global::LanguageIndex)) {
    gui::TApplication& application = gui::Application();
    application.Initialize();
    application.SetIconFromResource(L"AppIcon");
    application.CreateForm<TForm1>();
    application.Run();
  }
  return 0;
}
