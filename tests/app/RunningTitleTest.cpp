// The running-instance search: only a top-level window with exactly the product's class and one of
// its titles counts, the English title first, and an empty text is never a wildcard.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "base/Text.h"
#include "config/InstanceGuard.h"

namespace setup {
namespace {

constexpr wchar_t kProductClass[] = L"AppTestProductWindow";
constexpr wchar_t kOtherClass[] = L"AppTestOtherWindow";

void RegisterTestClass(const wchar_t* name) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = name;
  RegisterClassW(&windowClass);
}

// A hidden top-level window of this test program, destroyed with the object.
class TestWindow {
 public:
  TestWindow(const wchar_t* className, const wchar_t* title)
      : handle_(CreateWindowExW(0, className, title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr)) {}
  ~TestWindow() {
    if (handle_) DestroyWindow(handle_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND Handle() const { return handle_; }

 private:
  HWND handle_;
};

struct WindowSpec {
  const wchar_t* className;
  const wchar_t* title;
};

struct SearchCase {
  const char* name;
  std::vector<WindowSpec> windows;  // what runs meanwhile
  ProductWindowIdentity product;
  std::u16string found;
};

class RunningTitleTest : public testing::TestWithParam<SearchCase> {
 protected:
  static void SetUpTestSuite() {
    RegisterTestClass(kProductClass);
    RegisterTestClass(kOtherClass);
  }
};

TEST_P(RunningTitleTest, FindsExactlyTheProductWindow) {
  const SearchCase& c = GetParam();
  std::vector<std::unique_ptr<TestWindow>> windows;
  for (const WindowSpec& spec : c.windows) {
    windows.push_back(std::make_unique<TestWindow>(spec.className, spec.title));
    ASSERT_NE(windows.back()->Handle(), nullptr);
  }
  EXPECT_EQ(ToUtf8(FindRunningTitle(c.product)), ToUtf8(c.found));
}

const ProductWindowIdentity kGlyphor{u"AppTestProductWindow", u"Glyphor", u"澜川绘影"};

INSTANTIATE_TEST_SUITE_P(
    Windows, RunningTitleTest,
    testing::Values(
        SearchCase{"EnglishTitle", {{kProductClass, L"Glyphor"}}, kGlyphor, u"Glyphor"},
        SearchCase{"ChineseTitle", {{kProductClass, L"澜川绘影"}}, kGlyphor, u"澜川绘影"},
        // Both titles run: the English one is tried first, whichever window came first.
        SearchCase{"BothTitlesEnglishFirst",
                   {{kProductClass, L"澜川绘影"}, {kProductClass, L"Glyphor"}},
                   kGlyphor,
                   u"Glyphor"},
        SearchCase{"NothingRuns", {}, kGlyphor, u""},
        SearchCase{"ProductClassOtherTitle", {{kProductClass, L"Glyphor - document.gly"}}, kGlyphor, u""},
        SearchCase{"ProductTitleOtherClass", {{kOtherClass, L"Glyphor"}, {kOtherClass, L"澜川绘影"}}, kGlyphor, u""},
        // Empty configuration texts are looked for as empty texts, not as "any".
        SearchCase{"EmptyClassIsNoWildcard", {{kProductClass, L"Glyphor"}}, {u"", u"Glyphor", u"澜川绘影"}, u""},
        SearchCase{"EmptyTitlesAreNoWildcard", {{kProductClass, L"Glyphor"}}, {u"AppTestProductWindow", u"", u""}, u""},
        SearchCase{"EmptyEnglishTitleFallsToChinese",
                   {{kProductClass, L"Glyphor"}, {kProductClass, L"澜川绘影"}},
                   {u"AppTestProductWindow", u"", u"澜川绘影"},
                   u"澜川绘影"}),
    [](const testing::TestParamInfo<SearchCase>& param) { return param.param.name; });

// The message names the title that matched in Chinese, and always the English title in English.
TEST(RunningInstanceMessage, ByLanguage) {
  const GuardMessage chinese = RunningInstanceMessage(0, u"澜川绘影", u"Glyphor");
  EXPECT_EQ(ToUtf8(chinese.text), "澜川绘影正在运行，请先退出后再进行安装。");
  EXPECT_EQ(ToUtf8(chinese.caption), "安装向导");
  const GuardMessage english = RunningInstanceMessage(2, u"澜川绘影", u"Glyphor");
  EXPECT_EQ(ToUtf8(english.text), "Glyphor program is running, please close it first.");
  EXPECT_EQ(ToUtf8(english.caption), "Setup");
}

}  // namespace
}  // namespace setup
