// A small driver for end-to-end tests of the Windows programs: start a program, find its windows
// and controls, read what they show, press buttons, and wait for the program to end.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace setup::e2e {

// A started program; ended (if still running) and released when the object goes.
class Process {
 public:
  // Starts `exe` with `arguments`. `environment` entries ("NAME=value") replace or add to the
  // test's own environment; the program's working folder is `folder` when not empty.
  // Under Wine the child's ANSI code page follows the LANG that this test process started with,
  // not a LANG given here: register a test once per language with setup_add_test(... LANGUAGES
  // en_US.UTF-8 zh_CN.UTF-8) and let each run check GetACP().
  Process(const std::wstring& exe, const std::wstring& arguments = L"",
          const std::vector<std::wstring>& environment = {}, const std::wstring& folder = L"");
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  DWORD Id() const { return info_.dwProcessId; }
  bool Running() const;
  // The exit code once the program has ended within the time, else nothing.
  std::optional<DWORD> Wait(DWORD milliseconds);
  void Kill();

 private:
  PROCESS_INFORMATION info_{};
};

// The folder of this test program's build products, as a Windows path ("Z:\..." under Wine),
// given as a POSIX or Windows path at compile time.
std::wstring WindowsPath(const std::string& path);

std::wstring ClassName(HWND window);
std::wstring Text(HWND window);
bool Visible(HWND window);
bool Enabled(HWND window);
// The window's rectangle in its parent's client coordinates (screen coordinates for a
// top-level window).
RECT Bounds(HWND window);
LOGFONTW Font(HWND window);

// Top-level windows of a process, matched by a predicate; waits up to the timeout.
HWND WaitForTopLevel(DWORD processId, const std::function<bool(HWND)>& match, DWORD milliseconds = 15000);
// A top-level window of the process with this class (any title).
HWND WaitForClass(DWORD processId, const std::wstring& className, DWORD milliseconds = 15000);
std::vector<HWND> TopLevelWindows(DWORD processId);

// All descendants of a window, in Z order, depth first.
std::vector<HWND> Descendants(HWND parent);
// The first descendant with this exact text (and class, when given).
HWND FindChildByText(HWND parent, const std::wstring& text, const std::wstring& className = L"");

// A standard message box ("#32770") and what it shows.
struct MessageBoxContent {
  std::wstring caption;
  std::wstring text;
  std::vector<std::wstring> buttons;
  bool hasIcon = false;
};
MessageBoxContent ReadMessageBox(HWND box);

// Presses a button the way a click does (posted, so a modal loop it opens does not block us).
void Click(HWND button);
// Asks a window to close.
void Close(HWND window);

// Polls `condition` until it holds or the time runs out.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 15000);

}  // namespace setup::e2e
