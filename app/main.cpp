// The entry of Setup.exe: language, running-instance guard, then the wizard.
#include <windows.h>

#include "app/Global.h"
#include "app/InstanceGuard.h"
#include "wizard/Application.h"
#include "wizard/SetupForm.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace setup;
  Global::LanguageIndex = Global::LanguageIndexForCodePage(GetACP());
  if (!ProductIsRunning(Global::LanguageIndex)) {
    TApplication& application = Application();
    application.Initialize();
    application.SetIconFromResource(L"AppIcon");
    application.CreateForm<TForm1>();
    application.Run();
  }
  return 0;
}
