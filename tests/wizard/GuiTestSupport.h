// Shared pieces of the GUI layer's tests: the application, a test form, and a helper thread that
// answers the message box a modal call opens.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "base/Threads.h"
#include "gui/Application.h"
#include "gui/Form.h"

namespace setup::gui::test {

inline void InitializeApplicationOnce() {
  static const bool initialized = [] {
    Application().Initialize();
    Application().SetTitle(u"GUI layer test");
    return true;
  }();
  (void)initialized;
}

// A visible top-level form with the dialog font.
class TestForm final : public TForm {
 public:
  TestForm() : TForm(L"GuiLayerTestForm", {.width = 400, .height = 300, .text = u"Test form"}) { Show(); }
};

// What a message box of this process showed, read and dismissed by a helper thread.
struct AnsweredBox {
  std::wstring caption;
  std::wstring text;
  bool seen = false;
};

// Waits on another thread for a message box (class "#32770") of this process, records its texts
// and presses its OK button, so that the modal call on the test thread returns.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer() : thread_([this] { Answer(); }) {}
  ~MessageBoxAnswerer() {
    stop_ = true;
    thread_.Join();
  }
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  // Call after the modal call has returned.
  AnsweredBox Result() {
    stop_ = true;
    thread_.Join();
    return box_;
  }

 private:
  void Answer() {
    for (int attempt = 0; attempt < 200 && !stop_; ++attempt) {
      HWND found = nullptr;
      EnumWindows(
          [](HWND window, LPARAM data) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (process == GetCurrentProcessId() && std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
              *reinterpret_cast<HWND*>(data) = window;
              return FALSE;
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&found));
      if (found) {
        wchar_t buffer[1024] = {};
        GetWindowTextW(found, buffer, 1024);
        box_.caption = buffer;
        buffer[0] = 0;
        GetDlgItemTextW(found, 0xFFFF, buffer, 1024);  // the static text of a message box
        box_.text = buffer;
        box_.seen = true;
        PostMessageW(found, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(50);
    }
  }

  std::atomic<bool> stop_ = false;
  AnsweredBox box_;
  Thread thread_;
};

}  // namespace setup::gui::test
