#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "base/Text.h"
#include "base/Threads.h"
#include "shell/ApplicationTitle.h"
#include "shell/InfoMessage.h"

namespace setup {
namespace {

std::u16string WindowText(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return FromWide(buffer);
}

std::u16string ClassName(HWND window) {
  wchar_t buffer[64] = {};
  GetClassNameW(window, buffer, 64);
  return FromWide(buffer);
}

// What the watcher saw of the box while it was up.
struct BoxSeen {
  std::u16string caption;
  std::u16string text;
  bool informationIcon = false;
  int buttons = 0;
  bool hasOkButton = false;
  HWND owner = nullptr;
  bool ownerEnabled = true;
  bool otherEnabled = true;
};

struct ChildScan {
  BoxSeen* seen;
  HICON information;
};

BOOL CALLBACK ScanChild(HWND child, LPARAM param) noexcept {
  auto& scan = *reinterpret_cast<ChildScan*>(param);
  const std::u16string kind = ClassName(child);
  if (SameTextIgnoreCase(kind, u"Static")) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
      const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
      scan.seen->informationIcon = icon != nullptr && icon == scan.information;
    } else if (!WindowText(child).empty()) {
      scan.seen->text = WindowText(child);
    }
  } else if (SameTextIgnoreCase(kind, u"Button")) {
    ++scan.seen->buttons;
  }
  return TRUE;
}

struct BoxSearch {
  DWORD thread;
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) noexcept {
  auto& search = *reinterpret_cast<BoxSearch*>(param);
  if (ClassName(window) == u"#32770" && IsWindowVisible(window)) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

// Runs on its own thread: waits for the GUI thread's dialog box, records what it shows and presses
// its OK button. Gives up (returning nothing) when no box appears.
std::optional<BoxSeen> WatchAndClose(DWORD guiThread, HWND owner, HWND other) {
  for (int attempt = 0; attempt < 3000; ++attempt) {
    BoxSearch search{guiThread};
    EnumThreadWindows(guiThread, &FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      const HWND box = search.found;
      BoxSeen seen;
      seen.caption = WindowText(box);
      seen.owner = GetWindow(box, GW_OWNER);
      seen.ownerEnabled = owner ? IsWindowEnabled(owner) != FALSE : true;
      seen.otherEnabled = other ? IsWindowEnabled(other) != FALSE : true;
      ChildScan scan{&seen, LoadIconW(nullptr, IDI_INFORMATION)};
      EnumChildWindows(box, &ScanChild, reinterpret_cast<LPARAM>(&scan));
      const HWND ok = GetDlgItem(box, IDOK);
      seen.hasOkButton = ok != nullptr;
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
      return seen;
    }
    Sleep(10);
  }
  return std::nullopt;
}

// A plain visible top-level window of the test thread.
class TestWindow {
 public:
  explicit TestWindow(const wchar_t* title) {
    static const ATOM windowClass = [] {
      WNDCLASSW description{};
      description.lpfnWndProc = DefWindowProcW;
      description.hInstance = GetModuleHandleW(nullptr);
      description.lpszClassName = L"ShellTestWindow";
      return RegisterClassW(&description);
    }();
    window_ = CreateWindowExW(0, MAKEINTATOM(windowClass), title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~TestWindow() {
    if (window_) DestroyWindow(window_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND Get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

struct MessageCase {
  const char* name;
  const char16_t* text;
  const char16_t* caption;
  const char16_t* applicationTitle;  // null: no title source is set
  const char16_t* captionShown;
};

class ShowInfoMessageTest : public ::testing::TestWithParam<MessageCase> {
 protected:
  void TearDown() override { SetApplicationTitleSource(nullptr); }
};

TEST_P(ShowInfoMessageTest, ShowsTextCaptionIconAndOwner) {
  const MessageCase& messageCase = GetParam();
  if (messageCase.applicationTitle) {
    const std::u16string title = messageCase.applicationTitle;
    SetApplicationTitleSource([title] { return title; });
  }
  const TestWindow owner(L"Owner");
  const TestWindow other(L"Other");
  ASSERT_TRUE(owner.Get() && other.Get());
  SetActiveWindow(owner.Get());
  ASSERT_EQ(GetActiveWindow(), owner.Get());

  std::optional<BoxSeen> seen;
  Thread watcher([&, guiThread = GetCurrentThreadId()] { seen = WatchAndClose(guiThread, owner.Get(), other.Get()); });
  ShowInfoMessage(messageCase.text, messageCase.caption);
  watcher.Join();

  ASSERT_TRUE(seen) << "no message box appeared";
  EXPECT_EQ(ToUtf8(seen->caption), ToUtf8(messageCase.captionShown));
  EXPECT_EQ(ToUtf8(seen->text), ToUtf8(messageCase.text));
  EXPECT_TRUE(seen->informationIcon);
  EXPECT_EQ(seen->buttons, 1);
  EXPECT_TRUE(seen->hasOkButton);
  EXPECT_EQ(seen->owner, owner.Get());
  // While the box is up the application's windows take no input; afterwards they do again.
  EXPECT_FALSE(seen->ownerEnabled);
  EXPECT_FALSE(seen->otherEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner.Get()));
  EXPECT_TRUE(IsWindowEnabled(other.Get()));
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ShowInfoMessageTest,
    ::testing::Values(
        MessageCase{"EmptyCaptionShowsTitle", u"Extraction failed.", u"", u"Setup - Glyphor", u"Setup - Glyphor"},
        MessageCase{"GivenCaption", u"Extraction failed.", u"Notice", u"Setup - Glyphor", u"Notice"},
        MessageCase{"Chinese", u"\u89E3\u538B\u5931\u8D25\u3002", u"", u"\u5B89\u88C5\u5411\u5BFC - \u6F9C\u5DDD",
                    u"\u5B89\u88C5\u5411\u5BFC - \u6F9C\u5DDD"},
        MessageCase{"NoTitleSourceShowsProgramName", u"Extraction failed.", u"", nullptr, u"shell_message_tests"}),
    [](const ::testing::TestParamInfo<MessageCase>& messageCase) { return messageCase.param.name; });

TEST(ShowInfoMessageWithoutWindowsTest, BoxHasNoOwner) {
  ASSERT_EQ(GetActiveWindow(), nullptr);
  std::optional<BoxSeen> seen;
  Thread watcher([&, guiThread = GetCurrentThreadId()] { seen = WatchAndClose(guiThread, nullptr, nullptr); });
  ShowInfoMessage(u"Alone", u"Caption");
  watcher.Join();
  ASSERT_TRUE(seen) << "no message box appeared";
  EXPECT_EQ(seen->owner, nullptr);
  EXPECT_EQ(ToUtf8(seen->caption), "Caption");
  EXPECT_EQ(ToUtf8(seen->text), "Alone");
  EXPECT_TRUE(seen->informationIcon);
}

TEST(ApplicationTitleTest, SourceIsAskedEachTime) {
  std::u16string current = u"First";
  SetApplicationTitleSource([&current] { return current; });
  EXPECT_EQ(ApplicationTitle(), u"First");
  current = u"Second";
  EXPECT_EQ(ApplicationTitle(), u"Second");
  SetApplicationTitleSource(nullptr);
  EXPECT_EQ(ToUtf8(ApplicationTitle()), "shell_message_tests");
}

}  // namespace
}  // namespace setup
