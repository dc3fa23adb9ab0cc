#include "wizard/LaunchProgram.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "base/Text.h"
#include "wizard/DesktopShellLaunch.h"

namespace setup {

namespace {

// The plain launch: the new process gets this program's rights.
bool LaunchDirectly(const std::u16string& file, const std::u16string& parameters) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC;
  info.hwnd = nullptr;
  info.lpVerb = nullptr;  // the file's default action
  info.lpFile = WidePtr(file);
  info.lpParameters = WidePtr(parameters);
  info.lpDirectory = nullptr;
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

}  // namespace

bool LaunchProgram(const std::u16string& file, const std::u16string& parameters) {
  if (LaunchThroughDesktopShell(file, parameters)) return true;
  return LaunchDirectly(file, parameters);
}

}  // namespace setup
