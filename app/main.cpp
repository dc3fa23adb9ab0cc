// The entry of Setup.exe: language, running-instance guard, then the wizard.
#include <windows.h>

#include "app/Global.h"
#include "app/InstanceGuard.h"
#include "wizard/SetupForm.h"
#include "wizard/gui/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace setup;
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
