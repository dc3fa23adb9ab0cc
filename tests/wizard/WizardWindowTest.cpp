// The wizard window of the setup programs, read from outside: every control of the design with
// its place, text, state and font in the language of this run (LANG decides the code page), the
// agreement, the side image, the window size by Windows version, and the proposed folder.
#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/Text.h"
#include "gui/GdiObject.h"
#include "shell/ShellFolders.h"
#include "shell/Shortcuts.h"
#include "tests/support/TempFolder.h"
#include "tests/wizard/WizardWindowSupport.h"

namespace setup::e2e::wizard {
namespace {

const std::wstring kGlyphorSetup = WindowsPath(GLYPHOR_DIR) + L"\\Setup.exe";
const std::wstring kQuorvelSetup = WindowsPath(QUORVEL_DIR) + L"\\Setup.exe";
const std::wstring kLowercaseSetup = WindowsPath(LOWERCASE_DIR) + L"\\Setup.exe";
const std::wstring kCommercialSetup = WindowsPath(COMMERCIAL_DIR) + L"\\Setup.exe";
const std::wstring kLicensedSetup = WindowsPath(LICENSED_DIR) + L"\\Setup.exe";
const std::wstring kImages = WindowsPath(GLYPHOR_IMAGES);
const std::wstring kShots = WindowsPath(SCREENSHOT_DIR);

bool ChineseRun() { return GetACP() == 936; }
const wchar_t* RunName() { return ChineseRun() ? L"zh" : L"en"; }

std::wstring ProgramFiles() {
  wchar_t buffer[MAX_PATH] = {};
  GetEnvironmentVariableW(L"PROGRAMFILES", buffer, MAX_PATH);
  return buffer;
}

struct FontSpec {
  const wchar_t* face;
  LONG height;
  bool bold;
};
constexpr FontSpec kTahoma8{L"Tahoma", -11, false};
constexpr FontSpec kTahoma8Bold{L"Tahoma", -11, true};
constexpr FontSpec kTahoma12Bold{L"Tahoma", -16, true};
constexpr FontSpec kSong9{L"宋体", -12, false};
constexpr FontSpec kSong12Bold{L"宋体", -16, true};

enum class Parent { Form, Step1, Step2, Step3, Step4, Panel3, Panel4, Group };
constexpr int kToText = -1;  // a label sized to its text

struct Control {
  const char* name;
  Parent parent;
  const wchar_t* className;
  int left, top, width, height;  // width kToText: the extent of its text
  std::optional<bool> visible;   // empty where the navigation decides
  std::optional<std::wstring> text;
  FontSpec font;
  std::optional<bool> checked = std::nullopt;
};

struct Product {
  std::wstring name;  // N of the run's language
  std::wstring version;
  std::wstring space;
  std::wstring folder;  // the proposed destination
};

// The design of Part "wizard pages" as the form shows it after its creation, in one language.
std::vector<Control> Design(bool chinese, const Product& p, int clientWidth, bool windowsFive) {
  const std::wstring& n = p.name;
  const std::wstring& v = p.version;
  const int cw = clientWidth;
  if (!chinese) {
    return {
        {"Bevel1", Parent::Form, L"SetupBevel", -1, 308, 555, 2, true, L"", kTahoma8},
        {"Image1", Parent::Step1, L"SetupImage", 0, 0, 160, 308, true, std::nullopt, kTahoma8},
        {"lblWelcome", Parent::Step1, L"Static", 183, 20, 305, 53, true,
         L"Welcome to the " + n + L" " + v + L" Setup Wizard", kTahoma12Bold},
        {"lblWillInstall", Parent::Step1, L"Static", 184, 96, 304, 148, true,
         L"This will install " + n + L" " + v +
             L" on your computer.\n\nClick Next to continue, or Cancel to exit Setup.",
         kTahoma8},
        {"Panel3", Parent::Step2, L"SetupPanel", 0, 0, cw, 56, true, std::nullopt, kTahoma8},
        {"lblLicense", Parent::Panel3, L"Static", 17, 9, kToText, 0, true, L"License Agreement", kTahoma8Bold},
        {"lblLicenseTip", Parent::Panel3, L"Static", 36, 28, kToText, 0, true,
         L"Please read the following important infomation before continuing.", kTahoma8},
        {"Image2", Parent::Panel3, L"SetupImage", cw - 67, 0, 67, 56, true, std::nullopt, kTahoma8},
        {"Bevel2", Parent::Step2, L"SetupBevel", 0, 56, cw, 2, true, L"", kTahoma8},
        {"Memo2", Parent::Step2, L"Edit", 18, 75, 459, 177, true, std::nullopt, kTahoma8},
        {"lblAgreement", Parent::Step2, L"Static", 23, 267, 437, 32, true,
         L"If you accept the terms of the agreement, click I Agree to continue. You must accept the agreement to "
         L"install " +
             n + L".",
         kTahoma8},
        {"Panel4", Parent::Step3, L"SetupPanel", 0, 0, cw, 56, true, std::nullopt, kTahoma8},
        {"lblFolder", Parent::Panel4, L"Static", 17, 9, kToText, 0, true, L"Select Destination Location", kTahoma8Bold},
        {"lblFolderTip", Parent::Panel4, L"Static", 36, 28, kToText, 0, true, L"Where should " + n + L" be installed?",
         kTahoma8},
        {"Image3", Parent::Panel4, L"SetupImage", cw - 67, 0, 67, 56, true, std::nullopt, kTahoma8},
        {"Bevel3", Parent::Step3, L"SetupBevel", 0, 56, cw, 2, true, L"", kTahoma8},
        {"lblSetupFolder", Parent::Step3, L"Static", 40, 75, 420, 49, true,
         L"Setup will install " + n + L" " + v +
             L" into the following folder.\n\nTo continue, click Next. If you would like to select a different "
             L"folder, click Browse.",
         kTahoma8},
        {"gbFolder", Parent::Step3, L"Button", 40, 132, 419, 63, true, L"Destination Folder", kTahoma8},
        {"editSetupDir", Parent::Group, L"Edit", 17, 24, 305, 21, true, p.folder, kTahoma8},
        {"btnBrowse", Parent::Group, L"Button", 325, 24, 77, 21, true, L"&Browse...", kTahoma8},
        {"lblNeedSize", Parent::Step3, L"Static", 41, 221, kToText, 0, true, L"Space required: " + p.space, kTahoma8},
        {"lblFreeSize", Parent::Step3, L"Static", 41, 247, kToText, 0, std::nullopt, std::nullopt, kTahoma8},
        {"chkSCOnDesktop", Parent::Step3, L"Button", 237, 217, 151, 20, true, L"Create a desktop icon", kTahoma8, true},
        {"chkSCOnQuick", Parent::Step3, L"Button", 237, 243, 184, 20, windowsFive, L"Create a Quick Launch icon",
         kTahoma8, true},
        {"lblComplete", Parent::Step4, L"Static", 183, 20, 305, 53, true, L"Completing the " + n + L" Setup Wizard",
         kTahoma12Bold},
        {"lblClose", Parent::Step4, L"Static", 184, 89, 302, 65, true,
         L"Setup has finished installing " + n + L" " + v + L" on your computer.\n\nClick Finish to close this wizard.",
         kTahoma8},
        {"chkRunOnExit", Parent::Step4, L"Button", 186, 170, 203, 14, true, L"Launch " + n, kTahoma8, true},
        {"btnPrev", Parent::Form, L"Button", 253, 323, 77, 22, std::nullopt, L"< &Back", kTahoma8},
        {"btnNext", Parent::Form, L"Button", 330, 323, 77, 22, std::nullopt, L"&Next >", kTahoma8},
        {"btnClose", Parent::Form, L"Button", 417, 323, 62, 22, std::nullopt, L"Cancel", kTahoma8},
        {"ProgressBar1", Parent::Form, L"msctls_progress32", 35, 328, 185, 12, false, std::nullopt, kTahoma8},
    };
  }
  return {
      {"Bevel1", Parent::Form, L"SetupBevel", -1, 308, 555, 2, true, L"", kTahoma8},
      {"Image1", Parent::Step1, L"SetupImage", 0, 0, 160, 308, true, std::nullopt, kTahoma8},
      {"lblWelcome", Parent::Step1, L"Static", 193, 40, 305, 53, true, L"欢迎使用 " + n + L" V" + v + L" 安装\n向导",
       kSong12Bold},
      {"lblWillInstall", Parent::Step1, L"Static", 193, 116, 304, 148, true,
       L"此向导将引导您完成安装过程。\n\n单击 [下一步] 继续，单击 [取消] 退出安装。", kSong9},
      {"Panel3", Parent::Step2, L"SetupPanel", 0, 0, cw, 56, true, std::nullopt, kTahoma8},
      {"lblLicense", Parent::Panel3, L"Static", 17, 20, kToText, 0, true, L"在安装之前，请阅读许可协议", kTahoma8Bold},
      {"lblLicenseTip", Parent::Panel3, L"Static", 36, 28, kToText, 0, false, std::nullopt, kTahoma8},
      {"Image2", Parent::Panel3, L"SetupImage", cw - 67, 0, 67, 56, true, std::nullopt, kTahoma8},
      {"Bevel2", Parent::Step2, L"SetupBevel", 0, 56, cw, 2, true, L"", kTahoma8},
      {"Memo2", Parent::Step2, L"Edit", 18, 75, 459, 177, true, std::nullopt, kTahoma8},
      {"lblAgreement", Parent::Step2, L"Static", 23, 267, 437, 32, true,
       L"如果您接受协议中的条款，请单击 [我同意] 继续安装。", kTahoma8},
      {"Panel4", Parent::Step3, L"SetupPanel", 0, 0, cw, 56, true, std::nullopt, kTahoma8},
      {"lblFolder", Parent::Panel4, L"Static", 17, 20, kToText, 0, true, L"选择安装位置并设置选项", kTahoma8Bold},
      {"lblFolderTip", Parent::Panel4, L"Static", 36, 28, kToText, 0, false, std::nullopt, kTahoma8},
      {"Image3", Parent::Panel4, L"SetupImage", cw - 67, 0, 67, 56, true, std::nullopt, kTahoma8},
      {"Bevel3", Parent::Step3, L"SetupBevel", 0, 56, cw, 2, true, L"", kTahoma8},
      {"lblSetupFolder", Parent::Step3, L"Static", 40, 75, 420, 49, true,
       L"安装程序将安装“" + n + L" V" + v +
           L"”到下列文件夹中。\n\n如需安装到其它的文件夹，请直接修改或单击 [浏览] 选择另一个文件夹。",
       kSong9},
      {"gbFolder", Parent::Step3, L"Button", 40, 132, 419, 63, true, L"目标文件夹", kTahoma8},
      {"editSetupDir", Parent::Group, L"Edit", 17, 24, 305, 21, true, p.folder, kTahoma8},
      {"btnBrowse", Parent::Group, L"Button", 325, 24, 77, 21, true, L"浏览(&S)...", kTahoma8},
      {"lblNeedSize", Parent::Step3, L"Static", 41, 221, kToText, 0, true, L"所需空间: " + p.space, kTahoma8},
      {"lblFreeSize", Parent::Step3, L"Static", 41, 247, kToText, 0, std::nullopt, std::nullopt, kTahoma8},
      {"chkSCOnDesktop", Parent::Step3, L"Button", 237, 217, 151, 20, true, L"创建桌面快捷方式", kTahoma8, true},
      {"chkSCOnQuick", Parent::Step3, L"Button", 237, 243, 184, 20, windowsFive, L"创建快速启动栏快捷方式", kTahoma8,
       true},
      {"lblComplete", Parent::Step4, L"Static", 203, 28, 305, 53, true, n + L" V" + v + L" 安装成功。", kSong12Bold},
      {"lblClose", Parent::Step4, L"Static", 184, 89, 302, 65, false, std::nullopt, kTahoma8},
      {"chkRunOnExit", Parent::Step4, L"Button", 207, 111, 203, 14, true, L"立即运行软件", kTahoma8, true},
      {"btnPrev", Parent::Form, L"Button", 253, 323, 77, 22, std::nullopt, L"上一步", kTahoma8},
      {"btnNext", Parent::Form, L"Button", 330, 323, 77, 22, std::nullopt, L"下一步", kTahoma8},
      {"btnClose", Parent::Form, L"Button", 417, 323, 62, 22, std::nullopt, L"取 消", kTahoma8},
      {"ProgressBar1", Parent::Form, L"msctls_progress32", 35, 328, 185, 12, false, std::nullopt, kTahoma8},
  };
}

LOGFONTW LogFont(const FontSpec& spec) {
  LOGFONTW font{};
  font.lfHeight = spec.height;
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = ANSI_CHARSET;
  wcsncpy(font.lfFaceName, spec.face, LF_FACESIZE - 1);
  return font;
}

HWND ParentWindow(Parent parent, HWND form, const Containers& c) {
  switch (parent) {
    case Parent::Form:
      return form;
    case Parent::Step1:
      return c.pnlStep1;
    case Parent::Step2:
      return c.pnlStep2;
    case Parent::Step3:
      return c.pnlStep3;
    case Parent::Step4:
      return c.pnlStep4;
    case Parent::Panel3:
      return c.Panel3;
    case Parent::Panel4:
      return c.Panel4;
    case Parent::Group:
      return c.gbFolder;
  }
  return nullptr;
}

HWND FindControl(HWND form, const Containers& containers, const Control& c) {
  HWND parent = ParentWindow(c.parent, form, containers);
  return parent ? ChildAt(parent, c.className, c.left, c.top) : nullptr;
}

// Checks every control of the design; returns the handles by name for further checks.
std::map<std::string, HWND> CheckDesign(HWND form, const std::vector<Control>& design) {
  std::map<std::string, HWND> found;
  const Containers containers = FindContainers(form);
  for (const Control& c : design) {
    SCOPED_TRACE(c.name);
    HWND control = FindControl(form, containers, c);
    EXPECT_NE(control, nullptr) << "no " << ToUtf8(FromWide(c.className)) << " at " << c.left << "," << c.top;
    if (!control) continue;
    found[c.name] = control;
    const RECT bounds = Bounds(control);
    if (c.text) {
      EXPECT_EQ(ToUtf8(FromWide(Text(control).c_str())), ToUtf8(FromWide(c.text->c_str())));
    }
    if (c.width == kToText) {
      const SIZE extent = TextExtent(Text(control), LogFont(c.font));
      EXPECT_EQ(bounds.right - bounds.left, extent.cx) << "sized to its text";
      EXPECT_EQ(bounds.bottom - bounds.top, extent.cy) << "sized to its text";
    } else {
      EXPECT_EQ(bounds.right - bounds.left, c.width);
      EXPECT_EQ(bounds.bottom - bounds.top, c.height);
    }
    if (c.visible) {
      EXPECT_EQ(OwnVisible(control), *c.visible);
    }
    if (c.checked) {
      EXPECT_EQ(Checked(control), *c.checked);
    }
  }
  return found;
}

class WizardWindowTest : public testing::Test {
 protected:
  // The picture decoder and the shortcut routines are COM objects.
  static void SetUpTestSuite() { CoInitialize(nullptr); }
  static void TearDownTestSuite() { CoUninitialize(); }

  Product Glyphor() const {
    return {ChineseRun() ? L"澜川绘影" : L"Velmora Glyphor", L"2.30", L"6 MB",
            ProgramFiles() + L"\\Velmora Soft\\Glyphor"};
  }
};

// The sample product on page 1: every control, the caption, size and place, the tab order,
// the first focus, the agreement and the side image of the run's language.
TEST_F(WizardWindowTest, SampleProductAsDesigned) {
  Wizard wizard(kGlyphorSetup);
  HWND form = wizard.Form();
  ASSERT_NE(form, nullptr) << "no wizard window";
  const Product product = Glyphor();

  EXPECT_EQ(Text(form), (ChineseRun() ? L"安装向导 - " : L"Setup - ") + product.name);
  const RECT outer = Bounds(form);
  EXPECT_EQ(outer.right - outer.left, 503);
  EXPECT_EQ(outer.bottom - outer.top, 398);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 503) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 398) / 2);
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);

  RECT client;
  GetClientRect(form, &client);
  const auto controls = CheckDesign(form, Design(ChineseRun(), product, client.right, false));

  // The pages: all aligned to the top over the full width, page 1 alone shown.
  const Containers pages = FindContainers(form);
  for (HWND page : {pages.pnlStep1, pages.pnlStep2, pages.pnlStep3, pages.pnlStep4}) {
    ASSERT_NE(page, nullptr);
    const RECT bounds = Bounds(page);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, client.right);
    EXPECT_EQ(bounds.bottom, 308);
    EXPECT_EQ(OwnVisible(page), page == pages.pnlStep1);
  }

  // Tab order: the form's controls in the designed order, Next first and holding the focus.
  const std::vector<HWND> order = DirectChildren(form);
  ASSERT_GE(order.size(), 8u);
  const std::vector<HWND> expected = {
      controls.at("btnNext"), pages.pnlStep1,         pages.pnlStep3,          pages.pnlStep2,
      pages.pnlStep4,         controls.at("btnPrev"), controls.at("btnClose"), controls.at("ProgressBar1")};
  EXPECT_EQ(std::vector<HWND>(order.begin(), order.begin() + 8), expected);
  EXPECT_EQ(DirectChildren(pages.pnlStep2).front(), pages.Panel3);
  EXPECT_EQ(DirectChildren(pages.pnlStep3).front(), pages.Panel4);
  EXPECT_EQ(DirectChildren(pages.gbFolder).front(), controls.at("editSetupDir"));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(form) == controls.at("btnNext"); }, 5000)) << "Next has not the focus";

  // The agreement of the run's language.
  const std::vector<std::wstring> lines = Lines(controls.at("Memo2"));
  if (ChineseRun()) {
    EXPECT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines.front(), product.name + L" 用户许可协议");
  } else {
    EXPECT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines.front(), L"End User License Agreement");
    EXPECT_EQ(lines[6].rfind(product.name + L" ", 0), 0u);
  }

  // The side image of the run's language is drawn, not the other one.
  int width = 0;
  int height = 0;
  const auto english = JpegPixels(kImages + L"\\ImageLeft2.jpg", width, height);
  const auto chinese = JpegPixels(kImages + L"\\ImageLeft0.jpg", width, height);
  ASSERT_EQ(width, 160);
  std::vector<unsigned> shown;
  double toOwn = 255.0;
  WaitUntil(
      [&] {  // until painted
        shown = ScreenPixels(controls.at("Image1"), 160, 308);
        toOwn = MeanDifference(shown, ChineseRun() ? chinese : english);
        return toOwn < 2.0;
      },
      10000);
  const double toOther = MeanDifference(shown, ChineseRun() ? english : chinese);
  EXPECT_LT(toOwn, 2.0);
  EXPECT_GT(toOther, toOwn + 1.0);
  SaveScreenshot(form, kShots + L"\\page1-" + RunName() + L".bmp");
}

// Brings the wizard from page 1 to `page` as a user does: Next on pages 1 and 2, and on page 3 an
// install into a fresh folder without a desktop shortcut. The idle refresh of the wizard keeps the
// panels in step with its page, so a panel shown from outside would be hidden again at once.
class PageWalker {
 public:
  PageWalker(HWND form, const Containers& pages) : form_(form), pages_(pages) {}
  ~PageWalker() {
    if (!installed_) return;
    // What the install leaves outside its folder: the Uninstall key, the system-folder library and
    // the Start menu entry (made whatever the desktop option).
    const std::wstring name = ChineseRun() ? L"澜川绘影" : L"Velmora Glyphor";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name).c_str());
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(GetSystemFolder()) / "VelmoraRt.dll", ignored);
    std::filesystem::remove(std::filesystem::path(GetCommonFolder(CommonPlace::Programs)) / (name + L".lnk"), ignored);
  }
  PageWalker(const PageWalker&) = delete;
  PageWalker& operator=(const PageWalker&) = delete;

  bool GoTo(int page) {
    HWND next = ChildAt(form_, L"Button", 330, 323);
    const HWND panels[] = {pages_.pnlStep1, pages_.pnlStep2, pages_.pnlStep3, pages_.pnlStep4};
    while (current_ < page) {
      if (current_ == 3) {
        HWND desktop = ChildAt(pages_.pnlStep3, L"Button", 237, 217);
        HWND edit = ChildAt(pages_.gbFolder, L"Edit", 17, 24);
        const std::wstring folder = (root_.Path() / "Glyphor").wstring();
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
        if (Checked(desktop)) Click(desktop);
        if (!WaitUntil([&] { return !Checked(desktop) && Enabled(next); })) return false;
        installed_ = true;
      }
      Click(next);
      ++current_;
      HWND panel = panels[current_ - 1];
      if (!WaitUntil([&] { return OwnVisible(panel) && Enabled(next); })) return false;
    }
    return current_ == page;
  }

 private:
  HWND form_;
  Containers pages_;
  int current_ = 1;
  bool installed_ = false;
  testing_support::TempFolder root_;
};

// The other pages as the navigation shows them, saved for a person to look at; the header picture is drawn
// transparently on cream.
TEST_F(WizardWindowTest, OtherPagesDrawTheirHeaderPicture) {
  Wizard wizard(kGlyphorSetup);
  HWND form = wizard.Form();
  ASSERT_NE(form, nullptr);
  const Containers pages = FindContainers(form);
  PageWalker walker(form, pages);
  for (int number = 2; number <= 4; ++number) {
    ASSERT_TRUE(walker.GoTo(number)) << "page " << number;
    Sleep(300);  // a screenshot for a person to look at: let the page paint
    SaveScreenshot(form, kShots + L"\\page" + std::to_wstring(number) + L"-" + RunName() + L".bmp");
    if (number == 4) break;
    SCOPED_TRACE(number);
    HWND header = number == 2 ? pages.Panel3 : pages.Panel4;
    HWND image = ChildAt(header, L"SetupImage", Bounds(header).right - 67, 0);
    ASSERT_NE(image, nullptr);
    const int left = (67 - 32) / 2;
    const int top = (56 - 32) / 2;
    std::vector<unsigned> pixels;
    auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * 67 + x]; };
    WaitUntil(
        [&] {  // until painted
          pixels = ScreenPixels(image, 67, 56);
          return at(left + 10, top + 5) == 0xFDFBF4u;
        },
        10000);
    EXPECT_EQ(at(0, 0), 0xFFFBF0u) << "cream around the picture";
    EXPECT_EQ(at(left, top + 31), 0xFFFBF0u) << "the bitmap's background is left out";
    EXPECT_EQ(at(left + 10, top + 5), 0xFDFBF4u) << "the picture itself is drawn";
  }
}

// Every label shows its text in its designed font: the screen matches the text drawn here in
// that font, and not the same text in the bold or plain variant of it.
TEST_F(WizardWindowTest, LabelsShowTheirFonts) {
  Wizard wizard(kGlyphorSetup);
  HWND form = wizard.Form();
  ASSERT_NE(form, nullptr);
  RECT client;
  GetClientRect(form, &client);
  const Containers pages = FindContainers(form);
  const std::vector<Control> design = Design(ChineseRun(), Glyphor(), client.right, false);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  struct Page {
    HWND panel;
    std::vector<Parent> parents;
    COLORREF background;
  };
  const Page all[] = {{pages.pnlStep1, {Parent::Step1}, RGB(255, 255, 255)},
                      {pages.pnlStep2, {Parent::Panel3, Parent::Step2}, face},
                      {pages.pnlStep3, {Parent::Panel4, Parent::Step3}, face},
                      {pages.pnlStep4, {Parent::Step4}, RGB(255, 255, 255)}};
  int checked = 0;
  PageWalker walker(form, pages);
  int pageNumber = 1;
  for (const Page& page : all) {
    ASSERT_TRUE(walker.GoTo(pageNumber++));
    for (const Control& c : design) {
      if (std::wstring(c.className) != L"Static" || !c.text || c.text->empty()) continue;
      if (std::find(page.parents.begin(), page.parents.end(), c.parent) == page.parents.end()) continue;
      SCOPED_TRACE(c.name);
      HWND label = FindControl(form, pages, c);
      ASSERT_NE(label, nullptr);
      if (!OwnVisible(label)) continue;
      const RECT bounds = Bounds(label);
      // Only the part inside the parent shows (the Chinese layout moves labels past its edge).
      RECT parent;
      GetClientRect(GetParent(label), &parent);
      const int width = std::min(bounds.right, parent.right) - bounds.left;
      const int height = bounds.bottom - bounds.top;
      const COLORREF background =
          (c.parent == Parent::Panel3 || c.parent == Parent::Panel4) ? RGB(255, 251, 240) : page.background;
      const bool wrap = c.width != kToText;
      FontSpec variant = c.font;
      variant.bold = !variant.bold;
      const auto expected = RenderLabel(*c.text, LogFont(c.font), width, height, background, wrap);
      std::vector<unsigned> shown;
      double designed = 255.0;
      WaitUntil(
          [&] {  // until painted
            shown = ScreenPixels(label, width, height);
            designed = MeanDifference(shown, expected);
            return designed < 0.5;
          },
          10000);
      const double other =
          MeanDifference(shown, RenderLabel(*c.text, LogFont(variant), width, height, background, wrap));
      EXPECT_LT(designed, 0.5);
      EXPECT_GT(other, designed + 0.5);
      ++checked;
    }
  }
  EXPECT_EQ(checked, ChineseRun() ? 8 : 11);
}

// A sibling product that always speaks English: English texts and banner even on code page 936,
// and the commercial agreement.
TEST_F(WizardWindowTest, EnglishOnlySiblingProduct) {
  Wizard wizard(kQuorvelSetup);
  HWND form = wizard.Form();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Text(form), L"Setup - Velmora Quorvel");
  RECT client;
  GetClientRect(form, &client);
  const Product product{L"Velmora Quorvel", L"1.5", L"3 MB", ProgramFiles() + L"\\Velmora Soft\\Quorvel"};
  const auto controls = CheckDesign(form, Design(false, product, client.right, false));
  EXPECT_EQ(Lines(controls.at("Memo2")).size(), 22u);

  int width = 0;
  int height = 0;
  const auto english = JpegPixels(kImages + L"\\ImageLeft2.jpg", width, height);
  EXPECT_TRUE(
      WaitUntil([&] { return MeanDifference(ScreenPixels(controls.at("Image1"), 160, 308), english) < 2.0; }, 10000));
}

// The sibling's name in another letter case forces nothing: the code page decides.
TEST_F(WizardWindowTest, SiblingNameInLowerCaseFollowsTheCodePage) {
  Wizard wizard(kLowercaseSetup);
  HWND form = wizard.Form();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Text(form), ChineseRun() ? L"安装向导 - 澜川雀图" : L"Setup - Velmora quorvel");
}

// A commercial product's agreement: 22 English lines, 18 Chinese ones.
TEST_F(WizardWindowTest, CommercialAgreementLineCount) {
  Wizard wizard(kCommercialSetup);
  HWND form = wizard.Form();
  ASSERT_NE(form, nullptr);
  const Containers pages = FindContainers(form);
  HWND memo = ChildAt(pages.pnlStep2, L"Edit", 18, 75);
  ASSERT_NE(memo, nullptr);
  const std::vector<std::wstring> lines = Lines(memo);
  EXPECT_EQ(lines.size(), ChineseRun() ? 18u : 22u);
  EXPECT_EQ(lines.front(), ChineseRun() ? L"澜川织图 用户许可协议" : L"End User License Agreement");
}

// A product's own licence texts (UTF-8, LF or CR LF lines) replace the built-in agreement.
TEST_F(WizardWindowTest, ProductLicenceReplacesTheAgreement) {
  Wizard wizard(kLicensedSetup);
  HWND form = wizard.Form();
  ASSERT_NE(form, nullptr);
  const Containers pages = FindContainers(form);
  HWND memo = ChildAt(pages.pnlStep2, L"Edit", 18, 75);
  ASSERT_NE(memo, nullptr);
  const std::vector<std::wstring> expected =
      ChineseRun() ? std::vector<std::wstring>{L"澜川流明许可条款", L"", L"您可以在一台计算机上使用本软件。"}
                   : std::vector<std::wstring>{L"Lumeno Licence Terms", L"", L"You may use Lumeno on one computer."};
  EXPECT_EQ(Lines(memo), expected);
}

// A configuration error at form creation: the message shows and the program ends, without a
// form whose empty button texts could be pressed. A program named after the product's short
// name waits in the current folder: nothing may start it.
struct CreationFailure {
  const char* name;
  const char* buildFolder;
  const wchar_t* shortName;
  const wchar_t* messageEn;
  const wchar_t* messageZh;
  bool systemReasonFollows;  // the message goes on with the system's own text for the failure
};

class CreationFailureTest : public WizardWindowTest, public testing::WithParamInterface<CreationFailure> {};

TEST_P(CreationFailureTest, ReportsAndEndsWithoutLaunching) {
  const CreationFailure& failure = GetParam();
  testing_support::TempFolder current;
  const std::filesystem::path probe = current.Path() / (std::wstring(failure.shortName) + L".exe");
  std::filesystem::copy_file(std::filesystem::path(WindowsPath(MARKER_PROGRAM)), probe);
  const std::filesystem::path marker = probe.wstring() + L".ran";

  Process setup(WindowsPath(failure.buildFolder) + L"\\Setup.exe", L"", {}, current.Path().wstring());
  HWND box = WaitForClass(setup.Id(), L"#32770");
  ASSERT_NE(box, nullptr) << "no error message";
  const std::wstring text = ReadMessageBox(box).text;
  const std::wstring expected = ChineseRun() ? failure.messageZh : failure.messageEn;
  if (failure.systemReasonFollows) {
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_GT(text.size(), expected.size()) << "no reason after the message";
  } else {
    EXPECT_EQ(text, expected);
  }
  Click(GetDlgItem(box, IDOK));

  // The program ends; should a form show instead, its Next button is what a person would press.
  HWND form = nullptr;
  WaitUntil([&] {
    form = nullptr;
    for (HWND w : TopLevelWindows(setup.Id()))
      if (ClassName(w) == L"TForm1" && Visible(w)) form = w;
    return form || !setup.Running();
  });
  EXPECT_EQ(form, nullptr) << "the partly made form showed";
  if (form) {
    HWND next = ChildAt(form, L"Button", 330, 323);
    if (next) Click(next);
  }
  EXPECT_EQ(setup.Wait(15000), std::optional<DWORD>(5));
  EXPECT_FALSE(std::filesystem::exists(marker)) << "the program in the current folder was started";
}

INSTANTIATE_TEST_SUITE_P(Products, CreationFailureTest,
                         testing::Values(CreationFailure{"InvalidFreewareFlag", BADFLAG_DIR, L"Broken",
                                                         L"'maybe' is not a valid boolean value",
                                                         L"'maybe' is not a valid boolean value", false},
                                         CreationFailure{"UndecodableSideImage", NOIMAGE_DIR, L"Imageless",
                                                         L"JPEG image is not readable: ",
                                                         L"JPEG image is not readable: ", true}),
                         [](const testing::TestParamInfo<CreationFailure>& param) { return param.param.name; });

// On Windows 5.x the window is 385 pixels high and offers the Quick Launch shortcut.
TEST_F(WizardWindowTest, WindowsFiveSizeAndQuickLaunchOption) {
  WineVersionOverride xp(L"winxp64");
  Wizard wizard(kGlyphorSetup);
  HWND form = wizard.Form();
  ASSERT_NE(form, nullptr);
  const RECT outer = Bounds(form);
  EXPECT_EQ(outer.right - outer.left, 503);
  EXPECT_EQ(outer.bottom - outer.top, 385);
  RECT client;
  GetClientRect(form, &client);
  const auto controls = CheckDesign(form, Design(ChineseRun(), Glyphor(), client.right, true));
  EXPECT_TRUE(OwnVisible(controls.at("chkSCOnQuick")));
}

// The wizard on a screen of more dots per inch: every control at its designed place and size scaled
// by dpi / 96 (to a pixel or two of rounding), fonts scaled the same way, and no text clipped by its
// control.
class HighDpiTest : public WizardWindowTest, public testing::WithParamInterface<int> {
 protected:
  int Scaled(int designValue) const { return MulDiv(designValue, GetParam(), 96); }
};

constexpr int kRounding = 2;  // pixels a scaled place or size may be off

// The direct child of this class nearest to the scaled place, within the rounding.
HWND ChildNear(HWND parent, const std::wstring& className, int left, int top) {
  for (HWND child : DirectChildren(parent)) {
    const RECT bounds = Bounds(child);
    if (ClassName(child) == className && std::abs(bounds.left - left) <= kRounding &&
        std::abs(bounds.top - top) <= kRounding)
      return child;
  }
  return nullptr;
}

// The lines of a text.
std::vector<std::wstring> TextLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

// The size a text wrapped at `width` takes in a font.
SIZE WrappedExtent(const std::wstring& text, const LOGFONTW& logFont, int width) {
  gui::ScreenDc screen;
  gui::FontHandle font(CreateFontIndirectW(&logFont));
  gui::SelectedObject selected(screen.Get(), font.Get());
  RECT needed{0, 0, width, 0};
  DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
  return {needed.right, needed.bottom};
}

// Whether the text fits the control, measured with the control's font (its design scaled: a font
// handle of the wizard's process means nothing here): each line of a label sized to its text or of
// a button, the wrapped text of a fixed label, the title of a group box. A wrapped label may lose
// the part of its text that the design itself loses at 96 DPI (`designOverflow` pixels there,
// scaled here), and not more.
void ExpectTextFits(HWND control, const std::wstring& text, const LOGFONTW& logFont, bool wraps, int extraWidth,
                    int scaledDesignOverflow) {
  const RECT bounds = Bounds(control);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  if (wraps) {
    const SIZE needed = WrappedExtent(text, logFont, width);
    EXPECT_LE(needed.cx, width) << "wrapped text wider than its label";
    EXPECT_LE(needed.cy, height + scaledDesignOverflow) << "wrapped text taller than its label";
    return;
  }
  gui::ScreenDc screen;
  gui::FontHandle font(CreateFontIndirectW(&logFont));
  gui::SelectedObject selected(screen.Get(), font.Get());
  int total = 0;
  for (const std::wstring& line : TextLines(text)) {
    SIZE extent{};
    GetTextExtentPoint32W(screen.Get(), line.c_str(), static_cast<int>(line.size()), &extent);
    EXPECT_LE(extent.cx + extraWidth, width) << "line wider than its control: " << ToUtf8(FromWide(line.c_str()));
    total += extent.cy;
  }
  EXPECT_LE(total, height) << "text taller than its control";
}

TEST_P(HighDpiTest, DesignScaledAndNoTextClipped) {
  const int dpi = GetParam();
  std::unique_ptr<Wizard> wizard;
  {
    // Read when the program starts: the override may go once the wizard is up.
    const LogPixelsOverride screen(static_cast<DWORD>(dpi));
    wizard = std::make_unique<Wizard>(kGlyphorSetup);
  }
  HWND form = wizard->Form();
  ASSERT_NE(form, nullptr) << "no wizard window";
  const RECT outer = Bounds(form);
  EXPECT_NEAR(outer.right - outer.left, Scaled(503), kRounding);
  EXPECT_NEAR(outer.bottom - outer.top, Scaled(398), kRounding);
  RECT client;
  GetClientRect(form, &client);
  const int designClientWidth = MulDiv(client.right, 96, dpi);
  const Containers containers = FindContainers(form);
  ASSERT_NE(containers.gbFolder, nullptr);
  int checked = 0;
  for (const Control& c : Design(ChineseRun(), Glyphor(), designClientWidth, false)) {
    SCOPED_TRACE(c.name);
    HWND parent = ParentWindow(c.parent, form, containers);
    ASSERT_NE(parent, nullptr);
    RECT parentClient;
    GetClientRect(parent, &parentClient);
    // Controls aligned to the right edge or filling the width follow the parent's client width.
    const bool fullWidth = c.width == designClientWidth;
    const bool rightAligned = c.left == designClientWidth - 67;
    const int left = rightAligned ? parentClient.right - Scaled(67) : Scaled(c.left);
    HWND control = ChildNear(parent, c.className, left, Scaled(c.top));
    ASSERT_NE(control, nullptr) << "no " << ToUtf8(FromWide(c.className)) << " near " << left << "," << Scaled(c.top);
    const RECT bounds = Bounds(control);
    if (fullWidth) {
      EXPECT_EQ(bounds.right - bounds.left, parentClient.right);
    } else if (c.width != kToText) {
      EXPECT_NEAR(bounds.right - bounds.left, Scaled(c.width), kRounding);
    }
    if (c.width != kToText) {
      EXPECT_NEAR(bounds.bottom - bounds.top, Scaled(c.height), kRounding);
    }
    LOGFONTW font = LogFont(c.font);
    font.lfHeight = Scaled(c.font.height);
    if (c.width == kToText) {
      // Sized to its text in the scaled font: the label's size is the text's extent in it.
      const SIZE extent = TextExtent(Text(control), font);
      EXPECT_EQ(bounds.right - bounds.left, extent.cx) << "sized to its text in the scaled font";
      EXPECT_EQ(bounds.bottom - bounds.top, extent.cy) << "sized to its text in the scaled font";
    }
    const std::wstring kind = c.className;
    const std::wstring text = Text(control);
    if (text.empty() || kind == L"Edit" || kind == L"SetupImage" || kind == L"SetupPanel") continue;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool checkBox = kind == L"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    // A check box draws its box and a gap before the text.
    const int box = checkBox ? Scaled(13) + Scaled(4) : 0;
    const bool wraps = kind == L"Static" && c.width != kToText;
    int designOverflow = 0;
    if (wraps) {
      designOverflow = std::max(0, static_cast<int>(WrappedExtent(text, LogFont(c.font), c.width).cy) - c.height);
      if (designOverflow)
        std::printf("%s: the design at 96 DPI is %d pixels too low for its text\n", c.name, designOverflow);
    }
    // Font heights round per line: a text the design already cuts may lose a pixel or two more.
    ExpectTextFits(control, text, font, wraps, box, designOverflow ? Scaled(designOverflow) + kRounding : 0);
    ++checked;
  }
  EXPECT_GE(checked, ChineseRun() ? 15 : 20);
  SaveScreenshot(form, kShots + L"\\page1-" + RunName() + L"-" + std::to_wstring(dpi) + L"dpi.bmp");
}

INSTANTIATE_TEST_SUITE_P(Screens, HighDpiTest, testing::Values(120, 144, 192),
                         [](const testing::TestParamInfo<int>& param) { return std::to_string(param.param) + "dpi"; });

// An earlier installation's shortcut proposes its folder: Quick Launch first, then the desktop.
class ProposalTest : public WizardWindowTest {
 protected:
  // A program of an earlier installation and a shortcut to it in `place`; both removed at the end.
  struct EarlierInstallation {
    EarlierInstallation(ShortcutPlace place, const std::u16string& name, const testing_support::TempFolder& root,
                        const std::u16string& subFolder)
        : folder(root.Text() + subFolder) {
      std::filesystem::create_directories(std::filesystem::path(folder));
      std::ofstream(std::filesystem::path(folder + u"\\Glyphor.exe")) << "MZ";
      const std::u16string placeFolder = GetSpecialFolder(place);
      std::filesystem::create_directories(std::filesystem::path(placeFolder));
      link = placeFolder + u"\\" + name + u".lnk";
      CreateShortcut(folder + u"\\Glyphor.exe", u"", name, place, u"");
    }
    ~EarlierInstallation() {
      std::error_code ignored;
      std::filesystem::remove(std::filesystem::path(link), ignored);
    }
    std::u16string folder;
    std::u16string link;
  };

  std::wstring ProposalShown() {
    Wizard wizard(kGlyphorSetup);
    if (!wizard.Form()) return L"(no wizard window)";
    const Containers pages = FindContainers(wizard.Form());
    HWND edit = pages.gbFolder ? ChildAt(pages.gbFolder, L"Edit", 17, 24) : nullptr;
    return edit ? Text(edit) : L"(no folder box)";
  }

  std::u16string Name() const { return ChineseRun() ? u"澜川绘影" : u"Velmora Glyphor"; }
  testing_support::TempFolder root;
};

TEST_F(ProposalTest, QuickLaunchShortcutComesFirst) {
  EarlierInstallation desktop(spDesktop, Name(), root, u"Desktop\\Glyphor");
  EarlierInstallation quick(spQuickLaunch, Name(), root, u"Tools\\Glyphor");
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(quick.link)));
  EXPECT_EQ(ToUtf8(FromWide(ProposalShown().c_str())), ToUtf8(quick.folder));
}

TEST_F(ProposalTest, DesktopShortcutWithoutQuickLaunch) {
  EarlierInstallation desktop(spDesktop, Name(), root, u"Desktop\\Glyphor");
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(desktop.link)));
  EXPECT_EQ(ToUtf8(FromWide(ProposalShown().c_str())), ToUtf8(desktop.folder));
}

// A shortcut file of the product's name that is no shortcut at all, removed at the end.
struct UnreadableShortcut {
  UnreadableShortcut(ShortcutPlace place, const std::u16string& name) {
    const std::u16string placeFolder = GetSpecialFolder(place);
    std::filesystem::create_directories(std::filesystem::path(placeFolder));
    link = placeFolder + u"\\" + name + u".lnk";
    std::ofstream(std::filesystem::path(link), std::ios::binary) << "not a shortcut";
  }
  ~UnreadableShortcut() {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(link), ignored);
  }
  std::u16string link;
};

// A shortcut that cannot be resolved counts as none: the next place is tried.
TEST_F(ProposalTest, UnreadableQuickLaunchShortcutFallsToTheDesktop) {
  const UnreadableShortcut quick(spQuickLaunch, Name());
  EarlierInstallation desktop(spDesktop, Name(), root, u"Desktop\\Glyphor");
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(quick.link)));
  EXPECT_EQ(ToUtf8(FromWide(ProposalShown().c_str())), ToUtf8(desktop.folder));
}

TEST_F(ProposalTest, UnreadableShortcutsFallToProgramFiles) {
  const UnreadableShortcut quick(spQuickLaunch, Name());
  const UnreadableShortcut desktop(spDesktop, Name());
  EXPECT_EQ(ProposalShown(), ProgramFiles() + L"\\Velmora Soft\\Glyphor");
}

TEST_F(ProposalTest, ProgramFilesWithoutShortcut) {
  EXPECT_EQ(ProposalShown(), ProgramFiles() + L"\\Velmora Soft\\Glyphor");
}

}  // namespace
}  // namespace setup::e2e::wizard
