#include "install/LaunchProgram.h"

#include <windows.h>
// shellapi.h and tlhelp32.h need windows.h first.
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "base/SystemFunction_win.h"
#include "base/Text.h"
#include "install/DesktopShellLaunch.h"
#include "shell/UniqueHandle.h"

namespace setup {

namespace {

// How long the desktop shell gets to show that it started the program. The shell starts it at
// once when it can; a shell that accepts the request and starts nothing (seen with some desktop
// shells) would otherwise leave the user with no program and no message.
constexpr DWORD kShellLaunchWait = 5000;
constexpr DWORD kPollInterval = 50;

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

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
         });
}

// The full image path of a process, or empty when it cannot be asked.
std::wstring ImagePathOf(DWORD processId) {
  // Windows 5 lacks the call: there the file name alone decides.
  using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
  static const auto queryImageName = SystemFunction<QueryImageName>(L"kernel32.dll", "QueryFullProcessImageNameW");
  if (!queryImageName) return {};
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = static_cast<DWORD>(std::size(path));
  if (!queryImageName(process.Get(), 0, path, &size)) return {};
  return std::wstring(path, size);
}

// The ids of the running processes whose program is `file`: the file name must match, and the
// full path too where the process lets itself be asked.
std::vector<DWORD> ProcessesOf(const std::wstring& file) {
  std::vector<DWORD> ids;
  const std::size_t cut = file.find_last_of(L"\\/");
  const std::wstring name = cut == std::wstring::npos ? file : file.substr(cut + 1);
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (!SameTextIgnoringCase(entry.szExeFile, name)) continue;
    const std::wstring image = ImagePathOf(entry.th32ProcessID);
    if (image.empty() || SameTextIgnoringCase(image, file)) ids.push_back(entry.th32ProcessID);
  }
  return ids;
}

// Whether a process of `file` that was not among `before` appears within the wait.
bool NewProcessAppears(const std::wstring& file, const std::vector<DWORD>& before) {
  const DWORD start = GetTickCount();
  for (;;) {
    for (const DWORD id : ProcessesOf(file))
      if (std::find(before.begin(), before.end(), id) == before.end()) return true;
    // Unsigned subtraction stays right when the tick count wraps.
    if (GetTickCount() - start >= kShellLaunchWait) return false;
    Sleep(kPollInterval);
  }
}

}  // namespace

bool LaunchProgram(const std::u16string& file, const std::u16string& parameters) {
  const std::wstring wideFile(WidePtr(file), file.size());
  const std::vector<DWORD> before = ProcessesOf(wideFile);
  if (LaunchThroughDesktopShell(file, parameters) && NewProcessAppears(wideFile, before)) return true;
  return LaunchDirectly(file, parameters);
}

}  // namespace setup
