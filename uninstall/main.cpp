// The entry of Uninst.exe: the temporary copy's clean-up, or the removal of the product.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

#include "base/Text.h"
#include "shell/SystemLibraries.h"
#include "uninstall/CommandLine.h"
#include "uninstall/SelfRemoval.h"
#include "uninstall/Uninstaller.h"

namespace {

std::vector<std::u16string> Arguments() {
  std::vector<std::u16string> arguments;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(setup::FromWide(words[i]));
  LocalFree(words);
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace setup;
  // Before anything can load a DLL by name: the temporary copy runs beside whatever else is in
  // its folder.
  RestrictDllSearchToSystemFolder();
  const UninstallCommand command = ParseUninstallCommand(Arguments());
  if (command.cleanup) return RunSelfRemoval(command.cleanupHandle);
  return RunUninstaller(UninstallOptions{command.silent, command.logFile});
}
