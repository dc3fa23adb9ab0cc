#include "wizard/LaunchProgram.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "base/Text.h"

namespace setup {

ProcessHandle LaunchProgram(const std::u16string& file, const std::u16string& parameters) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = nullptr;
  info.lpVerb = nullptr;  // the file's default action
  info.lpFile = WidePtr(file);
  info.lpParameters = WidePtr(parameters);
  info.lpDirectory = nullptr;
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return ProcessHandle{};
  return ProcessHandle{info.hProcess};
}

}  // namespace setup
