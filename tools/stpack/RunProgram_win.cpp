#include <windows.h>

#include <string>
#include <vector>

#include "base/Text.h"
#include "tools/stpack/RunProgram.h"

namespace setup::stpack {

namespace {
// One argument quoted as the C runtime splits a command line.
std::u16string Quoted(const std::u16string& argument) {
  std::u16string out = u"\"";
  std::size_t backslashes = 0;
  for (const char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(backslashes * 2, u'\\');
  out.push_back(u'"');
  return out;
}
}  // namespace

int RunProgram(const std::u16string& program, const std::vector<std::u16string>& arguments) {
  std::u16string commandLine = Quoted(program);
  for (const auto& argument : arguments) commandLine.append(u" ").append(Quoted(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring mutableLine(commandLine.begin(), commandLine.end());
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

}  // namespace setup::stpack
