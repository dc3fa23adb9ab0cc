#include "tests/e2e/support/Driver.h"

#include <algorithm>

namespace setup::e2e {

namespace {

// The test's environment with the given entries replaced or added, as a CreateProcess block.
std::wstring EnvironmentBlock(const std::vector<std::wstring>& overrides) {
  std::vector<std::wstring> entries;
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsW(block);
  }
  for (const std::wstring& entry : overrides) {
    const std::wstring name = entry.substr(0, entry.find(L'=') + 1);
    entries.erase(
        std::remove_if(entries.begin(), entries.end(),
                       [&](const std::wstring& e) { return _wcsnicmp(e.c_str(), name.c_str(), name.size()) == 0; }),
        entries.end());
    entries.push_back(entry);
  }
  std::wstring out;
  for (const std::wstring& e : entries) out += e + L'\0';
  out += L'\0';
  return out;
}

struct EnumState {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) noexcept {
  auto* state = reinterpret_cast<EnumState*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == state->processId) state->windows.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) noexcept {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

}  // namespace

Process::Process(const std::wstring& exe, const std::wstring& arguments, const std::vector<std::wstring>& environment,
                 const std::wstring& folder) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::wstring block = EnvironmentBlock(environment);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      block.data(), folder.empty() ? nullptr : folder.c_str(), &startup, &info_)) {
    info_ = {};
  }
}

Process::~Process() {
  if (Running()) Kill();
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool Process::Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::Wait(DWORD milliseconds) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void Process::Kill() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 255);
  WaitForSingleObject(info_.hProcess, 5000);
}

std::wstring WindowsPath(const std::string& path) {
  std::wstring wide(path.begin(), path.end());  // build paths are ASCII
  if (!wide.empty() && wide[0] == L'/') wide = L"Z:" + wide;
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

std::wstring ClassName(HWND window) {
  wchar_t buffer[256] = {};
  const int length = GetClassNameW(window, buffer, 256);
  return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring Text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                      &copied);
  text.resize(copied);
  return text;
}

bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }
bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

RECT Bounds(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

LOGFONTW Font(HWND window) {
  LOGFONTW font{};
  DWORD_PTR handle = 0;
  SendMessageTimeoutW(window, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 5000, &handle);
  HGDIOBJ object = handle ? reinterpret_cast<HGDIOBJ>(handle) : GetStockObject(SYSTEM_FONT);
  GetObjectW(object, sizeof font, &font);
  return font;
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
  EnumState state{processId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return state.windows;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  do {
    if (condition()) return true;
    Sleep(50);
  } while (GetTickCount64() < end);
  return condition();
}

HWND WaitForTopLevel(DWORD processId, const std::function<bool(HWND)>& match, DWORD milliseconds) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(processId)) {
          if (Visible(window) && match(window)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      milliseconds);
  return found;
}

HWND WaitForClass(DWORD processId, const std::wstring& className, DWORD milliseconds) {
  return WaitForTopLevel(
      processId, [&](HWND w) { return ClassName(w) == className; }, milliseconds);
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FindChildByText(HWND parent, const std::wstring& text, const std::wstring& className) {
  for (HWND child : Descendants(parent)) {
    if (Text(child) == text && (className.empty() || ClassName(child) == className)) return child;
  }
  return nullptr;
}

MessageBoxContent ReadMessageBox(HWND box) {
  MessageBoxContent content;
  content.caption = Text(box);
  for (HWND child : Descendants(box)) {
    const std::wstring kind = ClassName(child);
    if (kind == L"Button") {
      content.buttons.push_back(Text(child));
    } else if (kind == L"Static") {
      if (GetWindowLongW(child, GWL_STYLE) & SS_ICON) {
        content.hasIcon = content.hasIcon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
      } else if (!Text(child).empty()) {
        content.text = Text(child);
      }
    }
  }
  return content;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Close(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

}  // namespace setup::e2e
