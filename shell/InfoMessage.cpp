#include "shell/InfoMessage.h"

#include <windows.h>

#include <vector>

#include "base/Text.h"
#include "shell/ApplicationTitle.h"

namespace setup {

namespace {

// Disables the thread's visible, enabled top-level windows other than the box's owner (the box
// disables its owner itself) and enables them again when it ends, so that nothing of the
// application can be used while the box is up.
class OtherThreadWindowsDisabled {
 public:
  explicit OtherThreadWindowsDisabled(HWND owner) : owner_(owner) {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
  }
  ~OtherThreadWindowsDisabled() {
    for (auto window = disabled_.rbegin(); window != disabled_.rend(); ++window)
      if (IsWindow(*window)) EnableWindow(*window, TRUE);
  }
  OtherThreadWindowsDisabled(const OtherThreadWindowsDisabled&) = delete;
  OtherThreadWindowsDisabled& operator=(const OtherThreadWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM self) noexcept {
    auto& scope = *reinterpret_cast<OtherThreadWindowsDisabled*>(self);
    if (window != scope.owner_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
      try {
        scope.disabled_.push_back(window);
      } catch (...) {
        return FALSE;  // out of memory: leave the remaining windows as they are
      }
    }
    return TRUE;
  }

  HWND owner_;                  // not owned
  std::vector<HWND> disabled_;  // not owned: windows to enable again
};

}  // namespace

void ShowInfoMessage(const std::u16string& text, const std::u16string& caption) {
  const std::u16string title = caption.empty() ? ApplicationTitle() : caption;
  const HWND owner = GetActiveWindow();  // may be none
  const OtherThreadWindowsDisabled disabled(owner);
  MessageBoxW(owner, WidePtr(text), WidePtr(title), MB_OK | MB_ICONINFORMATION);
}

}  // namespace setup
