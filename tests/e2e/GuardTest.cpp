// The running-instance guard of the sample Setup.exe, seen from outside.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "tests/e2e/support/Driver.h"

namespace setup::e2e {
namespace {

const std::wstring kFolder = WindowsPath(GLYPHOR_DIR);
const std::wstring kSetup = kFolder + L"\\Setup.exe";
const std::wstring kQuorvelSetup = WindowsPath(QUORVEL_DIR) + L"\\Setup.exe";
const std::wstring kProduct = kFolder + L"\\Glyphor.exe";
constexpr wchar_t kProductClass[] = L"VelmoraGlyphorMainWindow";

// The product's main window, started with a title of our choosing.
class RunningProduct {
 public:
  explicit RunningProduct(const std::wstring& title) : process_(kProduct, L"/title \"" + title + L"\"") {
    window_ = WaitForTopLevel(process_.Id(), [&](HWND w) { return ClassName(w) == kProductClass && Text(w) == title; });
  }
  HWND Window() const { return window_; }

 private:
  Process process_;
  HWND window_ = nullptr;
};

// Each run has one language (the LANG the test starts with); cases of the other are skipped.
struct GuardCase {
  const char* name;
  const wchar_t* lang;
  const wchar_t* runningTitle;
  const wchar_t* text;
  const wchar_t* caption;
};

class GuardMessageTest : public testing::TestWithParam<GuardCase> {};

TEST_P(GuardMessageTest, ShowsOnlyTheMessageAndExitsWithProductRunning) {
  const GuardCase& c = GetParam();
  if ((GetACP() == 936) != (std::wstring(c.lang) == L"zh_CN.UTF-8")) GTEST_SKIP() << "runs in the other language";
  RunningProduct product(c.runningTitle);
  ASSERT_NE(product.Window(), nullptr) << "the product's window did not appear";

  Process setup(kSetup);
  HWND box = WaitForClass(setup.Id(), L"#32770");
  ASSERT_NE(box, nullptr) << "no message box";
  const MessageBoxContent content = ReadMessageBox(box);
  EXPECT_EQ(content.text, c.text);
  EXPECT_EQ(content.caption, c.caption);
  EXPECT_EQ(content.buttons.size(), 1u);
  EXPECT_FALSE(content.hasIcon);
  // Nothing but the message box: no wizard window.
  for (HWND window : TopLevelWindows(setup.Id())) {
    if (Visible(window)) {
      EXPECT_EQ(ClassName(window), L"#32770");
    }
  }
  Click(GetDlgItem(box, IDOK));
  EXPECT_EQ(setup.Wait(15000), std::optional<DWORD>(2));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, GuardMessageTest,
    testing::Values(
        GuardCase{"English", L"en_US.UTF-8", L"Glyphor", L"Glyphor program is running, please close it first.",
                  L"Setup"},
        // The English message always names the English title, whichever matched.
        GuardCase{"EnglishChineseTitle", L"en_US.UTF-8", L"\u6F9C\u5DDD\u7ED8\u5F71",
                  L"Glyphor program is running, please close it first.", L"Setup"},
        // The Chinese message names the title that matched.
        GuardCase{
            "Chinese", L"zh_CN.UTF-8", L"Glyphor",
            L"Glyphor\u6B63\u5728\u8FD0\u884C\uFF0C\u8BF7\u5148\u9000\u51FA\u540E\u518D\u8FDB\u884C\u5B89\u88C5\u3002",
            L"\u5B89\u88C5\u5411\u5BFC"},
        GuardCase{
            "ChineseChineseTitle", L"zh_CN.UTF-8", L"\u6F9C\u5DDD\u7ED8\u5F71",
            L"\u6F9C\u5DDD\u7ED8\u5F71\u6B63\u5728\u8FD0\u884C\uFF0C\u8BF7\u5148\u9000\u51FA\u540E\u518D\u8FDB\u884C"
            L"\u5B89\u88C5\u3002",
            L"\u5B89\u88C5\u5411\u5BFC"}),
    [](const testing::TestParamInfo<GuardCase>& param) { return param.param.name; });

// Only the exact pair (class, title) counts.
TEST(Guard, AnotherTitleOfTheProductClassDoesNotStopSetup) {
  RunningProduct product(L"Glyphor - document.gly");
  ASSERT_NE(product.Window(), nullptr);
  Process setup(kSetup);
  HWND main = WaitForTopLevel(setup.Id(), [](HWND w) { return ClassName(w) != L"#32770"; });
  ASSERT_NE(main, nullptr) << "the wizard's main window did not appear";
  EXPECT_EQ(WaitForClass(setup.Id(), L"#32770", 500), nullptr);
  Close(main);
  EXPECT_EQ(setup.Wait(15000), std::optional<DWORD>(1602));
}

TEST(Guard, WithoutTheProductTheMainWindowAppears) {
  Process setup(kSetup);
  HWND main = WaitForTopLevel(setup.Id(), [](HWND w) { return ClassName(w) != L"#32770"; });
  ASSERT_NE(main, nullptr);
  // The wizard's caption: "Setup - " or "安装向导 - " before the display name.
  EXPECT_EQ(Text(main),
            GetACP() == 936 ? L"\u5B89\u88C5\u5411\u5BFC - \u6F9C\u5DDD\u7ED8\u5F71" : L"Setup - Velmora Glyphor");
  Close(main);
  EXPECT_EQ(setup.Wait(15000), std::optional<DWORD>(1602));
}

// A top-level window of this test program standing in for a running product, destroyed with the
// object; Setup's search finds it like any other program's window.
class StandInWindow {
 public:
  StandInWindow(const wchar_t* className, const wchar_t* title) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    handle_ = CreateWindowExW(0, className, title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  }
  ~StandInWindow() {
    if (handle_) DestroyWindow(handle_);
  }
  StandInWindow(const StandInWindow&) = delete;
  StandInWindow& operator=(const StandInWindow&) = delete;
  HWND Handle() const { return handle_; }

 private:
  HWND handle_ = nullptr;
};

struct StandInCase {
  const char* name;
  const wchar_t* lang;
  std::wstring setup;
  std::vector<std::pair<const wchar_t*, const wchar_t*>> windows;  // class, title
  std::wstring text;                                               // empty: no message, the wizard opens
  std::wstring caption;
};

class GuardStandInTest : public testing::TestWithParam<StandInCase> {};

TEST_P(GuardStandInTest, MessageOrWizard) {
  const StandInCase& c = GetParam();
  if ((GetACP() == 936) != (std::wstring(c.lang) == L"zh_CN.UTF-8")) GTEST_SKIP() << "runs in the other language";
  std::vector<std::unique_ptr<StandInWindow>> windows;
  for (const auto& [className, title] : c.windows) {
    windows.push_back(std::make_unique<StandInWindow>(className, title));
    ASSERT_NE(windows.back()->Handle(), nullptr);
  }
  Process setup(c.setup);
  HWND shown = WaitForTopLevel(setup.Id(), [](HWND) { return true; });
  ASSERT_NE(shown, nullptr) << "setup showed no window";
  if (!c.text.empty()) {
    ASSERT_EQ(ClassName(shown), L"#32770") << "the wizard opened instead of the message";
    const MessageBoxContent content = ReadMessageBox(shown);
    EXPECT_EQ(content.text, c.text);
    EXPECT_EQ(content.caption, c.caption);
    Click(GetDlgItem(shown, IDOK));
  } else {
    if (ClassName(shown) == L"#32770") {
      EXPECT_EQ(ReadMessageBox(shown).text, L"") << "a message instead of the wizard";
    }
    EXPECT_EQ(ClassName(shown), L"TForm1");
    Close(shown);
  }
  // The product running (2), or the wizard left without installing (1602).
  EXPECT_EQ(setup.Wait(15000), std::optional<DWORD>(c.text.empty() ? 1602 : 2));
}

constexpr wchar_t kChineseGuardSentence[] =
    L"\u6B63\u5728\u8FD0\u884C\uFF0C\u8BF7\u5148\u9000\u51FA\u540E\u518D\u8FDB\u884C\u5B89\u88C5\u3002";

INSTANTIATE_TEST_SUITE_P(
    Windows, GuardStandInTest,
    testing::Values(
        // The product's title on a window of another class does not count.
        StandInCase{"ProductTitleOtherClassEn",
                    L"en_US.UTF-8",
                    kSetup,
                    {{L"GuardTestOtherClass", L"Glyphor"}, {L"GuardTestOtherClass", L"\u6F9C\u5DDD\u7ED8\u5F71"}},
                    L"",
                    L""},
        StandInCase{"ProductTitleOtherClassZh",
                    L"zh_CN.UTF-8",
                    kSetup,
                    {{L"GuardTestOtherClass", L"Glyphor"}, {L"GuardTestOtherClass", L"\u6F9C\u5DDD\u7ED8\u5F71"}},
                    L"",
                    L""},
        // Both titles run: the English one is found first, so the Chinese message names it.
        StandInCase{"BothTitlesZh",
                    L"zh_CN.UTF-8",
                    kSetup,
                    {{kProductClass, L"\u6F9C\u5DDD\u7ED8\u5F71"}, {kProductClass, L"Glyphor"}},
                    std::wstring(L"Glyphor") + kChineseGuardSentence,
                    L"\u5B89\u88C5\u5411\u5BFC"},
        // A product whose wizard always speaks English is forced to it only when the form is made,
        // after the guard: on code page 936 its message is the Chinese one.
        StandInCase{"EnglishOnlyProductZh",
                    L"zh_CN.UTF-8",
                    kQuorvelSetup,
                    {{L"VelmoraQuorvelMainWindow", L"Quorvel"}},
                    std::wstring(L"Quorvel") + kChineseGuardSentence,
                    L"\u5B89\u88C5\u5411\u5BFC"},
        StandInCase{"EnglishOnlyProductEn",
                    L"en_US.UTF-8",
                    kQuorvelSetup,
                    {{L"VelmoraQuorvelMainWindow", L"Quorvel"}},
                    L"Quorvel program is running, please close it first.",
                    L"Setup"}),
    [](const testing::TestParamInfo<StandInCase>& param) { return param.param.name; });

}  // namespace
}  // namespace setup::e2e
