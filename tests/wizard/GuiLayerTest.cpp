// The GUI layer's controls in this process: layout, events, texts, fonts, focus and the
// application object.
#include <gtest/gtest.h>
#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

#include <stdexcept>

#include "base/Errors.h"
#include "base/Text.h"
#include "gui/Buttons.h"
#include "gui/Edit.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/MessageDialog.h"
#include "gui/Panel.h"
#include "gui/ProgressBar.h"
#include "shell/ApplicationTitle.h"
#include "tests/wizard/GuiTestSupport.h"

namespace setup::gui {
namespace {

using test::TestForm;

bool SameBounds(const TBounds& a, const TBounds& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

testing::AssertionResult HasBounds(const TWindow& window, TBounds expected) {
  const TBounds actual = window.Bounds();
  if (SameBounds(actual, expected)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "bounds " << actual.left << "," << actual.top << "," << actual.width << ","
                                     << actual.height << " instead of " << expected.left << "," << expected.top << ","
                                     << expected.width << "," << expected.height;
}

class GuiLayerTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { test::InitializeApplicationOnce(); }
  TestForm form;
  // A 300 x 200 panel at 10,10 on the form.
  TPanel panel{{.parent = &form, .left = 10, .top = 10, .width = 300, .height = 200}};
};

// Aligned children: top ones stacked over the full width, then left and right ones filling the
// rest of the height; hidden ones take no room.
TEST_F(GuiLayerTest, AlignedChildrenFillTheirEdges) {
  TPanel top1({.parent = &panel, .left = 50, .top = 50, .width = 10, .height = 30, .align = TAlign::Top});
  TPanel top2({.parent = &panel, .left = 50, .top = 50, .width = 10, .height = 20, .align = TAlign::Top});
  TPanel left({.parent = &panel, .left = 90, .top = 90, .width = 40, .height = 5, .align = TAlign::Left});
  TPanel right({.parent = &panel, .left = 90, .top = 90, .width = 25, .height = 5, .align = TAlign::Right});
  TPanel free({.parent = &panel, .left = 100, .top = 120, .width = 30, .height = 30});

  EXPECT_TRUE(HasBounds(top1, {0, 0, 300, 30}));
  EXPECT_TRUE(HasBounds(top2, {0, 30, 300, 20}));
  EXPECT_TRUE(HasBounds(left, {0, 50, 40, 150}));
  EXPECT_TRUE(HasBounds(right, {275, 50, 25, 150}));
  EXPECT_TRUE(HasBounds(free, {100, 120, 30, 30}));

  top1.SetVisible(false);
  EXPECT_TRUE(HasBounds(top2, {0, 0, 300, 20}));
  EXPECT_TRUE(HasBounds(left, {0, 20, 40, 180}));
  EXPECT_TRUE(HasBounds(right, {275, 20, 25, 180}));

  panel.SetBounds({10, 10, 200, 100});
  EXPECT_TRUE(HasBounds(top2, {0, 0, 200, 20}));
  EXPECT_TRUE(HasBounds(right, {175, 20, 25, 80}));
  EXPECT_TRUE(HasBounds(free, {100, 120, 30, 30}));
}

// An aligned image moved to another panel keeps its alignment there.
TEST_F(GuiLayerTest, MovedImageKeepsItsAlignment) {
  TPanel other({.parent = &form, .left = 0, .top = 220, .width = 250, .height = 40});
  TImage image({.parent = &panel, .width = 160, .height = 5, .align = TAlign::Left});
  EXPECT_TRUE(HasBounds(image, {0, 0, 160, 200}));

  image.SetParent(other);
  EXPECT_EQ(image.Parent(), &other);
  EXPECT_EQ(GetParent(image.Handle()), other.Handle());
  EXPECT_EQ(image.Align(), TAlign::Left);
  EXPECT_TRUE(HasBounds(image, {0, 0, 160, 40}));
}

// The change event follows every change of the text, the program's own included.
TEST_F(GuiLayerTest, EditRaisesChangeForProgramAndTypedText) {
  TEdit edit({.parent = &panel, .left = 5, .top = 5, .width = 200, .height = 21});
  std::vector<std::u16string> seen;
  edit.OnChange = [&] { seen.push_back(edit.Text()); };

  edit.SetText(u"C:\\Program Files");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], u"C:\\Program Files");

  SetFocus(edit.Handle());
  SendMessageW(edit.Handle(), EM_SETSEL, 16, 16);
  SendMessageW(edit.Handle(), WM_CHAR, L'X', 0);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], u"C:\\Program FilesX");
}

struct ClickCase {
  const char* name;
  int parentKind;  // 0 the form, 1 a panel, 2 a group box inside the panel
};

class ButtonReflectionTest : public GuiLayerTest, public testing::WithParamInterface<ClickCase> {};

// The parent reflects the click notification to the button, whatever kind of window it is.
TEST_P(ButtonReflectionTest, ClickReachesTheButtonsHandler) {
  TGroupBox group({.parent = &panel, .left = 5, .top = 5, .width = 200, .height = 80, .text = u"Group"});
  TWindow* parents[] = {&form, &panel, &group};
  TButton button(
      {.parent = parents[GetParam().parentKind], .left = 10, .top = 20, .width = 75, .height = 22, .text = u"&Go"});
  TCheckBox box(
      {.parent = parents[GetParam().parentKind], .left = 90, .top = 20, .width = 90, .height = 20, .text = u"Option"},
      true);
  int clicks = 0;
  int boxClicks = 0;
  button.OnClick = [&] { ++clicks; };
  box.OnClick = [&] { ++boxClicks; };

  SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  SendMessageW(box.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(boxClicks, 1);
  EXPECT_FALSE(box.Checked());
  box.SetChecked(true);
  EXPECT_TRUE(box.Checked());
}

INSTANTIATE_TEST_SUITE_P(Parents, ButtonReflectionTest,
                         testing::Values(ClickCase{"Form", 0}, ClickCase{"Panel", 1}, ClickCase{"GroupBox", 2}),
                         [](const testing::TestParamInfo<ClickCase>& param) { return param.param.name; });

// A label sized to its text takes the extent of its text in its font; a fixed one keeps its size.
TEST_F(GuiLayerTest, LabelSizing) {
  const TFontSpec bold{u"Tahoma", -11, true};
  TLabel sized({.parent = &panel, .left = 17, .top = 9, .width = 5, .height = 5, .font = bold}, TLabelSizing::ToText);
  TLabel fixed({.parent = &panel, .left = 20, .top = 60, .width = 120, .height = 53}, TLabelSizing::Fixed);
  const std::u16string text = u"Select Destination Location";
  sized.SetText(text);
  fixed.SetText(u"A text long enough to wrap over several lines of a narrow label");

  HDC dc = GetDC(nullptr);
  FontHandle font = MakeFont(bold);
  HGDIOBJ previous = SelectObject(dc, font.Get());
  SIZE extent{};
  GetTextExtentPoint32W(dc, WidePtr(text), static_cast<int>(text.size()), &extent);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);

  EXPECT_TRUE(HasBounds(sized, {17, 9, extent.cx, metrics.tmHeight}));
  EXPECT_TRUE(HasBounds(fixed, {20, 60, 120, 53}));
  EXPECT_TRUE(GetWindowLongW(fixed.Handle(), GWL_STYLE) & SS_NOPREFIX);
}

TEST_F(GuiLayerTest, MemoLinesAreCrLfSeparated) {
  TMemo memo({.parent = &panel, .left = 5, .top = 5, .width = 200, .height = 100});
  memo.SetLines({u"End User License Agreement", u"", u"Line three"});
  EXPECT_EQ(memo.Text(), u"End User License Agreement\r\n\r\nLine three");
  EXPECT_EQ(memo.Lines(), (std::vector<std::u16string>{u"End User License Agreement", u"", u"Line three"}));
  memo.SetText(u"one\r\ntwo");
  EXPECT_EQ(memo.Lines(), (std::vector<std::u16string>{u"one", u"two"}));

  const LONG style = GetWindowLongW(memo.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_FALSE(style & (ES_AUTOHSCROLL | WS_HSCROLL)) << "lines must wrap";
}

TEST_F(GuiLayerTest, ProgressBarRunsFromZeroToHundred) {
  TProgressBar bar({.parent = &panel, .left = 5, .top = 5, .width = 185, .height = 12});
  PBRANGE range{};
  SendMessageW(bar.Handle(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
  bar.SetPosition(42);
  EXPECT_EQ(bar.Position(), 42);
  bar.SetPosition(100);
  EXPECT_EQ(bar.Position(), 100);
}

// The window's font is the one described, and a child takes its parent's font unless given one.
TEST_F(GuiLayerTest, FontsByNameHeightAndStyle) {
  TPanel fonted({.parent = &form, .font = TFontSpec{u"Tahoma", -16, true}});
  TLabel inherits({.parent = &fonted, .text = u"x"}, TLabelSizing::ToText);
  TLabel own({.parent = &fonted, .text = u"y"}, TLabelSizing::ToText);
  own.SetFont({u"Courier New", -12, false});

  struct Expected {
    const TWindow* window;
    const wchar_t* face;
    LONG height;
    LONG weight;
  };
  for (const Expected& e :
       {Expected{&inherits, L"Tahoma", -16, FW_BOLD}, Expected{&own, L"Courier New", -12, FW_NORMAL}}) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(e.window->Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, e.face);
    EXPECT_EQ(font.lfHeight, e.height);
    EXPECT_EQ(font.lfWeight, e.weight);
  }
}

// Tab order is the order of the siblings; hiding the focused control passes the focus on.
TEST_F(GuiLayerTest, TabOrderAndFocus) {
  TButton first({.parent = &panel, .left = 5, .top = 5, .width = 70, .height = 22, .text = u"First"});
  TButton second({.parent = &panel, .left = 80, .top = 5, .width = 70, .height = 22, .text = u"Second"});
  TButton third({.parent = &panel, .left = 155, .top = 5, .width = 70, .height = 22, .text = u"Third"});
  SetTabOrder({&third, &first, &second});
  EXPECT_EQ(GetWindow(panel.Handle(), GW_CHILD), third.Handle());
  EXPECT_EQ(GetWindow(third.Handle(), GW_HWNDNEXT), first.Handle());
  EXPECT_EQ(GetWindow(first.Handle(), GW_HWNDNEXT), second.Handle());

  SetForegroundWindow(form.Handle());
  SetFocus(first.Handle());
  ASSERT_EQ(GetFocus(), first.Handle());
  first.SetVisible(false);
  EXPECT_FALSE(first.Visible());
  EXPECT_EQ(GetFocus(), second.Handle());
  first.SetEnabled(false);
  EXPECT_FALSE(first.Enabled());
}

TEST_F(GuiLayerTest, FormOuterSizeAndCentre) {
  form.SetOuterSize(503, 398);
  form.CenterOnDesktop();
  const TBounds bounds = form.Bounds();
  EXPECT_EQ(bounds.width, 503);
  EXPECT_EQ(bounds.height, 398);
  EXPECT_EQ(bounds.left, (GetSystemMetrics(SM_CXSCREEN) - 503) / 2);
  EXPECT_EQ(bounds.top, (GetSystemMetrics(SM_CYSCREEN) - 398) / 2);
  const LONG style = GetWindowLongW(form.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
}

// A failure inside an event handler stops at the window procedure and is shown there.
TEST_F(GuiLayerTest, HandlerFailureIsReportedNotPropagated) {
  TButton button({.parent = &panel, .left = 5, .top = 5, .width = 70, .height = 22, .text = u"Fail"});
  button.OnClick = [] { throw Exception(u"'maybe' is not a valid boolean value"); };
  test::MessageBoxAnswerer answerer;
  SendMessageW(button.Handle(), BM_CLICK, 0, 0);  // returns: nothing crossed the procedure
  const test::AnsweredBox box = answerer.Result();
  ASSERT_TRUE(box.seen);
  EXPECT_EQ(box.text, L"'maybe' is not a valid boolean value");
  EXPECT_EQ(box.caption, L"GUI layer test");
}

// "&" before a letter of a button's text makes Alt and that letter press it.
TEST_F(GuiLayerTest, ButtonAcceleratorPressesTheButton) {
  TButton other({.parent = &panel, .left = 5, .top = 5, .width = 70, .height = 22, .text = u"Other"});
  TButton browse({.parent = &panel, .left = 80, .top = 5, .width = 70, .height = 22, .text = u"&Browse..."});
  int clicks = 0;
  int otherClicks = 0;
  browse.OnClick = [&] { ++clicks; };
  other.OnClick = [&] { ++otherClicks; };
  SetForegroundWindow(form.Handle());
  SetFocus(other.Handle());
  MSG message{other.Handle(), WM_SYSCHAR, L'b', 0x20000000, 0, {}};
  EXPECT_TRUE(IsDialogMessageW(form.Handle(), &message));
  Application().ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(otherClicks, 0);
}

// The information box of the shell helpers takes its default caption from the application.
TEST_F(GuiLayerTest, ApplicationTitleIsTheInformationBoxCaption) {
  EXPECT_EQ(ApplicationTitle(), u"GUI layer test");
  Application().SetTitle(u"Setup - Velmora Glyphor");
  EXPECT_EQ(ApplicationTitle(), u"Setup - Velmora Glyphor");
  Application().SetTitle(u"GUI layer test");
}

// The plain message dialog is captioned with the application title.
TEST_F(GuiLayerTest, PlainMessageDialog) {
  test::MessageBoxAnswerer answerer;
  ShowMessage(u"Destination folder can't be created, need to select another folder.");
  const test::AnsweredBox box = answerer.Result();
  ASSERT_TRUE(box.seen);
  EXPECT_EQ(box.text, L"Destination folder can't be created, need to select another folder.");
  EXPECT_EQ(box.caption, L"GUI layer test");
}

// A window that counts the messages posted to it.
class CountingWindow final : public TWindow {
 public:
  explicit CountingWindow(TWindow& parent) {
    RegisterOwnClass(L"GuiLayerTestCounter");
    CreateOwnWindow(L"GuiLayerTestCounter", 0, 0, {.parent = &parent, .width = 10, .height = 10});
  }
  int count = 0;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) {
      ++count;
      return 0;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
  }
};

TEST_F(GuiLayerTest, ProcessMessagesHandlesEverythingQueuedOnce) {
  CountingWindow counter(panel);
  PostMessageW(counter.Handle(), WM_APP, 0, 0);
  PostMessageW(counter.Handle(), WM_APP, 0, 0);
  EXPECT_EQ(counter.count, 0);
  Application().ProcessMessages();
  EXPECT_EQ(counter.count, 2);
}

// The loop raises the idle event each time the queue has run empty and ends with the main form.
// The application has one main form for its life, so this is the last test of the loop.
TEST(GuiApplication, IdleEventAndEndWithTheMainForm) {
  test::InitializeApplicationOnce();
  TForm& main = Application().CreateForm<TestForm>();
  CountingWindow counter(main);
  int idle = 0;
  Application().OnIdle = [&] {
    ++idle;
    if (idle < 3) {
      PostMessageW(counter.Handle(), WM_APP, 0, 0);  // the queue fills again
    } else {
      main.Close();
    }
  };
  Application().Run();
  Application().OnIdle = nullptr;
  EXPECT_EQ(idle, 3);
  EXPECT_EQ(counter.count, 2);
  EXPECT_EQ(main.Handle(), nullptr);
}

}  // namespace
}  // namespace setup::gui
