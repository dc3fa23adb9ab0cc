// The wizard's behaviour seen from outside: the page table, the destination test, Back and Next
// keeping the choices, the install with its failure paths, the Uninstall registration, the
// desktop shortcut and the launch on Finish. Each run has one language (the LANG it starts with).
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/Text.h"
#include "shell/ComApartment.h"
#include "shell/Registry.h"
#include "shell/ShellFolders.h"
#include "shell/Shortcuts.h"
#include "tests/e2e/support/Driver.h"
#include "tests/support/TempFolder.h"
#include "tests/wizard/WizardWindowSupport.h"
#include "wizard/WizardTexts.h"

namespace setup::e2e {
namespace {

namespace fs = std::filesystem;
using wizard::Checked;
using wizard::ChildAt;
using wizard::Containers;
using wizard::DirectChildren;
using wizard::FindContainers;
using wizard::OwnVisible;
using wizard::Wizard;

const std::wstring kSetup = WindowsPath(GLYPHOR_DIR) + L"\\Setup.exe";
const fs::path kStagedTree = fs::path(WindowsPath(PRODUCT_TREE));
// The uninstaller stpack build wrote and packed with the staged tree.
const fs::path kBuiltUninstaller = fs::path(WindowsPath(GLYPHOR_DIR) + L"\\Uninst.exe");
constexpr wchar_t kProductClass[] = L"VelmoraGlyphorMainWindow";
constexpr char16_t kUninstallRoot[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr int kPageHeight = 308;

bool ChineseRun() { return GetACP() == 936; }
std::u16string DisplayName() { return ChineseRun() ? u"澜川绘影" : u"Velmora Glyphor"; }
TWizardTexts Texts() {
  const TProductTexts product{DisplayName(), u"2.30", u"6 MB"};
  return ChineseRun() ? ChineseTexts(product) : EnglishTexts(product);
}
std::wstring W(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::u16string U(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// The wizard's controls, found once: the side banner moves to the finish page later, which
// would confuse finding the pages by their contents.
struct Controls {
  explicit Controls(HWND wizardForm) : form(wizardForm), pages(FindContainers(wizardForm)) {
    const std::vector<HWND> pageList{pages.pnlStep1, pages.pnlStep2, pages.pnlStep3, pages.pnlStep4};
    panels = pageList;
    btnPrev = ChildAt(form, L"Button", 253, 323);
    btnNext = ChildAt(form, L"Button", 330, 323);
    btnClose = ChildAt(form, L"Button", 417, 323);
    progress = ChildAt(form, L"msctls_progress32", 35, 328);
    edit = ChildAt(pages.gbFolder, L"Edit", 17, 24);
    browse = ChildAt(pages.gbFolder, L"Button", 325, 24);
    freeSize = ChildAt(pages.pnlStep3, L"Static", 41, 247);
    desktop = ChildAt(pages.pnlStep3, L"Button", 237, 217);
    image = ChildAt(pages.pnlStep1, L"SetupImage", 0, 0);
    for (HWND child : DirectChildren(pages.pnlStep4))
      if (ClassName(child) == L"Button") runOnExit = child;
  }
  bool Complete() const {
    for (HWND h : {btnPrev, btnNext, btnClose, progress, edit, browse, freeSize, desktop, image, runOnExit})
      if (!h) return false;
    return true;
  }
  // The page whose panel shows, or 0 when not exactly one does.
  int VisiblePage() const {
    int shown = 0;
    for (int page = 1; page <= 4; ++page) {
      if (!OwnVisible(panels[static_cast<std::size_t>(page - 1)])) continue;
      if (shown) return 0;
      shown = page;
    }
    return shown;
  }
  HWND form;
  Containers pages;
  std::vector<HWND> panels;
  HWND btnPrev, btnNext, btnClose, progress, edit, browse, freeSize, desktop, image, runOnExit = nullptr;
};

struct PageRow {
  int page;
  std::u16string nextText;
  bool prevShown;
  bool closeShown;
};

PageRow RowOf(int page) {
  const TWizardTexts t = Texts();
  switch (page) {
    case 1:
      return {1, t.captionNext, false, true};
    case 2:
      return {2, t.captionAgree, true, true};
    case 3:
      return {3, t.captionInstall, true, true};
    default:
      return {4, t.captionFinish, false, false};
  }
}

// Waits for the page and its idle refresh, then checks the row of the page table.
void ExpectPage(const Controls& c, int page) {
  const PageRow row = RowOf(page);
  const bool reached = WaitUntil([&] {
    return c.VisiblePage() == page && Text(c.btnNext) == W(row.nextText) && OwnVisible(c.btnPrev) == row.prevShown;
  });
  ASSERT_TRUE(reached) << "page " << page << " not reached; visible page " << c.VisiblePage();
  EXPECT_EQ(OwnVisible(c.btnPrev), row.prevShown) << "page " << page;
  EXPECT_EQ(OwnVisible(c.btnClose), row.closeShown) << "page " << page;
  if (page != 3) {
    EXPECT_TRUE(Enabled(c.btnNext)) << "page " << page;
  }
}

// Types a destination as the user would: the edit's change notification runs the test.
void SetDestination(const Controls& c, const std::wstring& text) {
  SendMessageW(c.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Install is pressable exactly while the free space shows.
bool InstallEnabledFollowsFreeSpace(const Controls& c, bool shown) {
  return WaitUntil([&] { return OwnVisible(c.freeSize) == shown && Enabled(c.btnNext) == shown; }, 5000);
}

HWND WaitForMessageBox(DWORD processId) { return WaitForClass(processId, L"#32770"); }

// Every top-level window of the product's main-window class, from any process.
std::vector<HWND> ProductWindows() {
  std::vector<HWND> found;
  for (HWND w = FindWindowW(kProductClass, nullptr); w; w = FindWindowExW(nullptr, w, kProductClass, nullptr))
    found.push_back(w);
  return found;
}

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What one install leaves outside its folder: the desktop shortcut, the Uninstall key and the
// system-folder files; removed at the end so later tests find a clean prefix.
class InstallLeftovers {
 public:
  ~InstallLeftovers() {
    std::error_code ignored;
    fs::remove(fs::path(GetSpecialFolder(spDesktop) + u"\\" + DisplayName() + u".lnk"), ignored);
    fs::remove(fs::path(GetSpecialFolder(spQuickLaunch) + u"\\" + DisplayName() + u".lnk"), ignored);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, WidePtr(kUninstallRoot + DisplayName()));
    for (const auto& entry : fs::directory_iterator(kStagedTree / "$System$", ignored))
      fs::remove(fs::path(GetSystemFolder()) / entry.path().filename(), ignored);
  }
};

// The installed folder holds exactly the staged tree's bytes and the uninstaller that stpack build
// wrote, the system files are in the system folder, and the temporary package file is gone.
void ExpectInstalledTree(const fs::path& folder) {
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kStagedTree)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), kStagedTree);
    const bool system = *relative.begin() == "$System$";
    const fs::path installed = system ? fs::path(GetSystemFolder()) / relative.filename() : folder / relative;
    EXPECT_EQ(Bytes(installed), Bytes(entry.path())) << installed.string();
    ++compared;
  }
  EXPECT_EQ(compared, 14);
  EXPECT_EQ(Bytes(folder / "Uninst.exe"), Bytes(kBuiltUninstaller));
  EXPECT_FALSE(fs::exists(folder / "Setup.stp"));
}

void ExpectUninstallValues(const std::u16string& folder) {
  const std::u16string key = kUninstallRoot + DisplayName();
  const bool chinese = ChineseRun();
  const std::pair<const char16_t*, std::u16string> expected[] = {
      {u"DisplayIcon", folder + u"Glyphor.exe"},
      {u"DisplayName", DisplayName()},
      {u"DisplayVersion", u"2.30"},
      {u"Publisher", chinese ? u"澜川软件工作室" : u"Velmora Software"},
      {u"URLInfoAbout", chinese ? u"https://www.example.com/zh-cn/" : u"https://www.example.com/"},
      {u"UninstallString", folder + u"Uninst.exe"},
  };
  for (const auto& [name, data] : expected)
    EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_LOCAL_MACHINE, key, name)), ToUtf8(data)) << ToUtf8(name);
}

// Names drive D: in the Wine session for as long as the object lives; the test's fixture has
// linked the prefix's d: to a folder, which makes it a fixed drive. Without that link (a run
// outside ctest) D: stays no drive at all.
class FixedDriveD {
 public:
  FixedDriveD() : defined_(DefineDosDeviceW(DDD_RAW_TARGET_PATH, L"D:", L"\\??\\C:\\e2e-fixed-d") != 0) {}
  ~FixedDriveD() {
    if (defined_) DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"D:", nullptr);
  }
  FixedDriveD(const FixedDriveD&) = delete;
  FixedDriveD& operator=(const FixedDriveD&) = delete;
  bool Fixed() const { return defined_ && GetDriveTypeW(L"D:\\") == DRIVE_FIXED; }

 private:
  bool defined_;
};

class WizardBehaviour : public testing::Test {
 protected:
  void SetUp() override {
    for (HWND w : ProductWindows()) Close(w);
  }
  // Starts the wizard and goes to the destination page.
  void OpenDestinationPage(Wizard& wizard, std::unique_ptr<Controls>& controls) {
    ASSERT_NE(wizard.Form(), nullptr) << "no wizard window";
    controls = std::make_unique<Controls>(wizard.Form());
    ASSERT_TRUE(controls->Complete()) << "a control was not found";
    ExpectPage(*controls, 1);
    Click(controls->btnNext);
    ExpectPage(*controls, 2);
    Click(controls->btnNext);
    ExpectPage(*controls, 3);
  }
};

TEST_F(WizardBehaviour, PagesBackAndNextKeepTheChoices) {
  Wizard wizard(kSetup);
  ASSERT_NE(wizard.Form(), nullptr);
  const Controls c(wizard.Form());
  ASSERT_TRUE(c.Complete());
  ExpectPage(c, 1);
  EXPECT_FALSE(OwnVisible(c.progress));
  Click(c.btnNext);
  ExpectPage(c, 2);
  Click(c.btnPrev);
  ExpectPage(c, 1);
  Click(c.btnNext);
  ExpectPage(c, 2);
  Click(c.btnNext);
  ExpectPage(c, 3);

  SetDestination(c, L"C:\\Kept\\Folder");
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  Click(c.desktop);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.desktop); }, 5000));
  Click(c.btnPrev);
  ExpectPage(c, 2);
  Click(c.btnNext);
  ExpectPage(c, 3);
  EXPECT_EQ(Text(c.edit), L"C:\\Kept\\Folder");
  EXPECT_FALSE(Checked(c.desktop));
  EXPECT_TRUE(Enabled(c.btnNext));

  Click(c.btnClose);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
}

struct DestinationCase {
  const char* name;
  const wchar_t* text;
  bool showsFreeSpace;
};

// One wizard for the whole table; each case is typed into the same box.
TEST_F(WizardBehaviour, TypedDestinationsShowOrHideTheFreeSpace) {
  const DestinationCase cases[] = {
      {"Proposal", L"C:\\Program Files\\Velmora Soft\\Glyphor", true},
      {"Empty", L"", false},
      {"LeadingBlank", L" C:\\Glyphor", false},
      {"NoBackslash", L"C:folder", false},
      {"DriveOnly", L"C:", false},
      {"DriveNotThere", L"Q:\\data", false},
      {"LowerCaseFixedDrive", L"c:\\data", true},
      {"RootOfFixedDrive", L"C:\\", true},
      {"DriveNotThereAgain", L"q:\\data", false},
      {"OtherFixedDrive", L"d:\\data", true},
      {"OtherFixedDriveUpperCase", L"D:\\data", true},
      {"OtherFixedDriveNoBackslash", L"d:data", false},
  };
  const FixedDriveD driveD;
  ASSERT_TRUE(driveD.Fixed()) << "drive D: is not set up as a fixed drive (run through ctest)";
  Wizard wizard(kSetup);
  std::unique_ptr<Controls> c;
  OpenDestinationPage(wizard, c);
  if (HasFatalFailure()) return;
  const std::wstring prefix = W(Texts().freeSpacePrefix);
  for (const DestinationCase& d : cases) {
    SetDestination(*c, d.text);
    EXPECT_TRUE(InstallEnabledFollowsFreeSpace(*c, d.showsFreeSpace)) << d.name;
    if (d.showsFreeSpace) {
      EXPECT_EQ(Text(c->freeSize).rfind(prefix, 0), 0u) << d.name << ": " << ToUtf8(U(Text(c->freeSize)));
      EXPECT_GT(Text(c->freeSize).size(), prefix.size()) << d.name;
    }
  }
}

// The folder dialog of Browse, found in the wizard's process: its tree of drives and its buttons.
struct BrowseDialog {
  explicit BrowseDialog(DWORD processId) {
    window = WaitForTopLevel(processId, [](HWND w) {
      return ClassName(w) == L"#32770" && FindWindowExW(w, nullptr, L"SysTreeView32", nullptr) != nullptr;
    });
    if (window) tree = FindWindowExW(window, nullptr, L"SysTreeView32", nullptr);
  }
  // The first drive below the root of the tree, selected.
  bool SelectFirstDrive() const {
    const auto root = reinterpret_cast<LPARAM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (!root) return false;
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, root);
    const auto drive = reinterpret_cast<LPARAM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, root));
    return drive && SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, drive);
  }
  HWND window = nullptr;
  HWND tree = nullptr;
};

// Browse: a cancelled dialog changes nothing; a chosen drive becomes the destination and shows
// its free space.
TEST_F(WizardBehaviour, BrowseCancelledThenChosen) {
  Wizard wizard(kSetup);
  std::unique_ptr<Controls> cp;
  OpenDestinationPage(wizard, cp);
  if (HasFatalFailure()) return;
  const Controls& c = *cp;
  SetDestination(c, L"Q:\\nowhere");
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, false));

  Click(c.browse);
  const BrowseDialog cancelled(wizard.Program().Id());
  ASSERT_NE(cancelled.window, nullptr) << "no folder dialog";
  Click(GetDlgItem(cancelled.window, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(cancelled.window); }));
  EXPECT_EQ(Text(c.edit), L"Q:\\nowhere");
  EXPECT_TRUE(InstallEnabledFollowsFreeSpace(c, false));

  Click(c.browse);
  const BrowseDialog chosen(wizard.Program().Id());
  ASSERT_NE(chosen.window, nullptr) << "no folder dialog";
  ASSERT_TRUE(chosen.SelectFirstDrive());
  Click(GetDlgItem(chosen.window, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chosen.window); }));
  EXPECT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  const std::wstring folder = Text(c.edit);
  ASSERT_EQ(folder.size(), 3u) << ToUtf8(U(folder));
  EXPECT_EQ(folder.substr(1), L":\\");
  EXPECT_EQ(Text(c.freeSize).rfind(W(Texts().freeSpacePrefix), 0), 0u);
}

// The failure paths and then a complete install, sharing one wizard: a folder that cannot be made,
// an extraction that fails on a folder where a file must go, and Install again once it is gone.
TEST_F(WizardBehaviour, FailuresThenInstallThenFinishLaunches) {
  const ComApartment apartment;  // for resolving the shortcut
  const testing_support::TempFolder root;
  const InstallLeftovers leftovers;
  const fs::path blocker = root.Path() / "blocker";
  std::ofstream(blocker) << "a file, not a folder";
  const fs::path destination = root.Path() / "Glyphor";
  const fs::path obstacle = destination / "Glyphor.exe";
  fs::create_directories(obstacle / "inside");

  Wizard wizard(kSetup);
  std::unique_ptr<Controls> cp;
  OpenDestinationPage(wizard, cp);
  if (HasFatalFailure()) return;
  const Controls& c = *cp;
  const TWizardTexts texts = Texts();
  const std::wstring title = Text(c.form);

  // The folder cannot be created below a file: a plain message, nothing changed.
  SetDestination(c, (blocker / "sub").wstring());
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  Click(c.btnNext);
  HWND box = WaitForMessageBox(wizard.Program().Id());
  ASSERT_NE(box, nullptr) << "no message for the folder that cannot be created";
  MessageBoxContent content = ReadMessageBox(box);
  EXPECT_EQ(content.text, W(texts.msgDirCreateFailed));
  EXPECT_EQ(content.caption, title);
  EXPECT_FALSE(content.hasIcon);
  EXPECT_EQ(content.buttons.size(), 1u);
  EXPECT_FALSE(OwnVisible(c.progress));
  Click(GetDlgItem(box, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  ExpectPage(c, 3);
  for (HWND button : {c.btnNext, c.btnPrev, c.btnClose, c.browse}) EXPECT_TRUE(Enabled(button));

  // A folder stands where the program must go: the extraction fails.
  SetDestination(c, destination.wstring());
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  Click(c.btnNext);
  box = WaitForMessageBox(wizard.Program().Id());
  ASSERT_NE(box, nullptr) << "no message for the failed extraction";
  content = ReadMessageBox(box);
  EXPECT_EQ(content.text, W(texts.msgExtractFailed));
  EXPECT_EQ(content.caption, title);
  EXPECT_TRUE(content.hasIcon);
  // While the message shows, the sequence is still under way.
  for (HWND button : {c.btnNext, c.btnPrev, c.btnClose, c.browse}) EXPECT_FALSE(Enabled(button));
  EXPECT_TRUE(OwnVisible(c.progress));
  Click(GetDlgItem(box, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) && !OwnVisible(c.progress); }));
  ExpectPage(c, 3);
  for (HWND button : {c.btnNext, c.btnPrev, c.btnClose, c.browse}) EXPECT_TRUE(Enabled(button));

  // The cause removed, Install again completes.
  fs::remove_all(obstacle);
  Click(c.btnNext);
  ExpectPage(c, 4);
  EXPECT_FALSE(OwnVisible(c.progress));
  ExpectInstalledTree(destination);
  const std::u16string folder = destination.u16string() + u"\\";
  ExpectUninstallValues(folder);
  const std::u16string link = GetSpecialFolder(spDesktop) + u"\\" + DisplayName() + u".lnk";
  ASSERT_TRUE(fs::exists(fs::path(link)));
  EXPECT_EQ(ToUtf8(ResolveShortcut(link)), ToUtf8(folder + u"Glyphor.exe"));
  // From Windows 6 on the Quick Launch box is hidden, though checked: no shortcut there.
  EXPECT_FALSE(fs::exists(fs::path(GetSpecialFolder(spQuickLaunch) + u"\\" + DisplayName() + u".lnk")));
  // The side banner stands at the left of the finish page, the page's full height.
  EXPECT_EQ(GetParent(c.image), c.pages.pnlStep4);
  const RECT banner = Bounds(c.image);
  EXPECT_EQ(banner.left, 0);
  EXPECT_EQ(banner.top, 0);
  EXPECT_EQ(banner.bottom - banner.top, kPageHeight);
  EXPECT_TRUE(OwnVisible(c.btnNext));

  // Finish with "Launch" checked starts the product and ends the wizard.
  ASSERT_TRUE(Checked(c.runOnExit));
  Click(c.btnNext);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
  ASSERT_TRUE(WaitUntil([] { return !ProductWindows().empty(); })) << "the product's window did not appear";
  for (HWND w : ProductWindows()) Close(w);
  EXPECT_TRUE(WaitUntil([] { return ProductWindows().empty(); }));
}

// Before Windows 6 the Quick Launch box shows, and checked it makes a Quick Launch shortcut too.
TEST_F(WizardBehaviour, QuickLaunchShortcutBeforeWindowsSix) {
  const ComApartment apartment;  // for resolving the shortcuts
  const testing_support::TempFolder root;
  const InstallLeftovers leftovers;
  const wizard::WineVersionOverride windowsXp(L"winxp64");
  const fs::path quickLaunch(GetSpecialFolder(spQuickLaunch));
  ASSERT_FALSE(quickLaunch.empty());
  fs::create_directories(quickLaunch);
  const fs::path destination = root.Path() / "Quick";

  Wizard wizard(kSetup);
  std::unique_ptr<Controls> cp;
  OpenDestinationPage(wizard, cp);
  if (HasFatalFailure()) return;
  const Controls& c = *cp;
  HWND quick = ChildAt(c.pages.pnlStep3, L"Button", 237, 243);
  ASSERT_NE(quick, nullptr);
  ASSERT_TRUE(OwnVisible(quick));
  ASSERT_TRUE(Checked(quick));
  SetDestination(c, destination.wstring());
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  Click(c.btnNext);
  ExpectPage(c, 4);
  const std::u16string program = destination.u16string() + u"\\Glyphor.exe";
  for (ShortcutPlace place : {spDesktop, spQuickLaunch}) {
    const std::u16string link = GetSpecialFolder(place) + u"\\" + DisplayName() + u".lnk";
    ASSERT_TRUE(fs::exists(fs::path(link))) << ToUtf8(link);
    EXPECT_EQ(ToUtf8(ResolveShortcut(link)), ToUtf8(program));
  }
  Click(c.runOnExit);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.runOnExit); }, 5000));
  Click(c.btnNext);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
}

// Without the desktop option no shortcut is made, the Uninstall values are still written, and
// Finish without "Launch" starts nothing.
TEST_F(WizardBehaviour, NoShortcutAndFinishWithoutLaunch) {
  const testing_support::TempFolder root;
  const InstallLeftovers leftovers;
  const fs::path destination = root.Path() / "Plain";

  Wizard wizard(kSetup);
  std::unique_ptr<Controls> cp;
  OpenDestinationPage(wizard, cp);
  if (HasFatalFailure()) return;
  const Controls& c = *cp;
  // The folder text ends in a backslash already: no second one.
  SetDestination(c, destination.wstring() + L"\\");
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  Click(c.desktop);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.desktop); }, 5000));
  Click(c.btnNext);
  ExpectPage(c, 4);
  ExpectInstalledTree(destination);
  ExpectUninstallValues(destination.u16string() + u"\\");
  EXPECT_FALSE(fs::exists(fs::path(GetSpecialFolder(spDesktop) + u"\\" + DisplayName() + u".lnk")));

  Click(c.runOnExit);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.runOnExit); }, 5000));
  Click(c.btnNext);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
  // Nothing else may start it; give a launch the time it would take to show a window.
  EXPECT_FALSE(WaitUntil([] { return !ProductWindows().empty(); }, 3000));
}

}  // namespace
}  // namespace setup::e2e
