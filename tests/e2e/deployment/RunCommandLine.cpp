// Runs one command line exactly as a deployment tool does: the whole text, quotes and all, handed
// to the system as the new process's command line (the program is whatever it names), then waits
// for it and ends with its exit code. The text comes from the environment variable
// SETUP_TEST_COMMAND_LINE, because anything on this program's own command line would be quoted
// again on the way. Ends with 255 when the program cannot be started.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/UniqueHandle.h"

int wmain() {
  constexpr wchar_t kVariable[] = L"SETUP_TEST_COMMAND_LINE";
  const DWORD needed = GetEnvironmentVariableW(kVariable, nullptr, 0);
  if (needed == 0) {
    std::fwprintf(stderr, L"run-command-line: %ls is not set\n", kVariable);
    return 255;
  }
  std::vector<wchar_t> commandLine(needed);
  GetEnvironmentVariableW(kVariable, commandLine.data(), needed);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    std::fwprintf(stderr, L"run-command-line: cannot start %ls: error %lu\n", commandLine.data(), GetLastError());
    return 255;
  }
  const setup::UniqueHandle thread(started.hThread);
  const setup::UniqueHandle process(started.hProcess);
  WaitForSingleObject(process.Get(), INFINITE);
  DWORD exitCode = 255;
  GetExitCodeProcess(process.Get(), &exitCode);
  return static_cast<int>(exitCode);
}
