// The wizard's behaviour seen from outside: the page table, the destination test, Back and Next
// keeping the choices, the install with its failure paths, the Uninstall registration, the
// machine-wide shortcuts and the launch on Finish, and the unattended install and removal of the
// shortcuts. Each run has one language (the LANG it starts with).
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "base/Text.h"
#include "shell/ComApartment.h"
#include "shell/Registry.h"
#include "shell/RegistryKey.h"
#include "shell/ShellFolders.h"
#include "shell/Shortcuts.h"
#include "tests/e2e/support/Driver.h"
#include "tests/support/TempFolder.h"
#include "tests/wizard/WizardWindowSupport.h"

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

// The texts the wizard shows in each language, written down as the catalogue gives them.
struct RunTexts {
  const wchar_t* captionNext;
  const wchar_t* captionAgree;
  const wchar_t* captionInstall;
  const wchar_t* captionFinish;
  const wchar_t* freeSpacePrefix;
  const wchar_t* msgDirCreateFailed;
  const wchar_t* msgExtractFailed;
};
constexpr RunTexts kEnglishTexts{
    L"&Next >",
    L"I &Agree",
    L"&Install",
    L"&Finish",
    L"Space available: ",
    L"Destination folder can't be created, need to select another folder.",
    L"An error occurred extracting files to the destination folder.\n\nWhether you're running an older version of "
    L"this software? If yes, please close it and then click Install.",
};
constexpr RunTexts kChineseTexts{
    L"下一步",
    L"我同意",
    L"安 装",
    L"完 成",
    L"剩余空间: ",
    L"无法创建目标文件夹，请重新指定文件夹路径。",
    L"提取文件到目标文件夹时发生错误。\n\n您是否正在运行这个软件的旧版本？如果是，请先关闭它，然后再次点击“安装”。",
};
const RunTexts& Texts() { return ChineseRun() ? kChineseTexts : kEnglishTexts; }
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
  std::wstring nextText;
  bool prevShown;
  bool closeShown;
};

PageRow RowOf(int page) {
  const RunTexts& t = Texts();
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
    return c.VisiblePage() == page && Text(c.btnNext) == row.nextText && OwnVisible(c.btnPrev) == row.prevShown;
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

// A machine-wide install's shortcuts: on the all-users desktop (when chosen) and in the all-users
// Start menu's Programs folder; and the user's own desktop, where earlier versions put it.
std::u16string DesktopLink() { return GetCommonFolder(CommonPlace::Desktop) + u"\\" + DisplayName() + u".lnk"; }
std::u16string StartMenuLink() { return GetCommonFolder(CommonPlace::Programs) + u"\\" + DisplayName() + u".lnk"; }
std::u16string UsersDesktopLink() { return GetSpecialFolder(spDesktop) + u"\\" + DisplayName() + u".lnk"; }
std::u16string QuickLaunchLink() { return GetSpecialFolder(spQuickLaunch) + u"\\" + DisplayName() + u".lnk"; }

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What one install leaves outside its folder: the shortcuts, the Uninstall key and the
// system-folder files; removed at the end so later tests find a clean prefix.
class InstallLeftovers {
 public:
  ~InstallLeftovers() {
    std::error_code ignored;
    for (const std::u16string& link : {DesktopLink(), StartMenuLink(), UsersDesktopLink(), QuickLaunchLink()})
      fs::remove(fs::path(link), ignored);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, WidePtr(kUninstallRoot + DisplayName()));
    for (const auto& entry : fs::directory_iterator(kStagedTree / "$System$", ignored))
      fs::remove(fs::path(GetSystemFolder()) / entry.path().filename(), ignored);
  }
};

// The installed folder holds exactly the staged tree's bytes and the uninstaller that stpack build
// wrote, and the system files are in the system folder; the install writes no package file there
// (unless one was there before).
void ExpectInstalledTree(const fs::path& folder, bool withoutPackageFile = true) {
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
  if (withoutPackageFile) {
    EXPECT_FALSE(fs::exists(folder / "Setup.stp"));
  }
  // Neither the install's journal nor a temporary or moved-aside file stays.
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    EXPECT_NE(entry.path().filename().wstring().rfind(L"~stp", 0), 0u) << entry.path().string();
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
      {u"UninstallString", u"\"" + folder + u"Uninst.exe\""},
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
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(1602));
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
  const std::wstring prefix = Texts().freeSpacePrefix;
  for (const DestinationCase& d : cases) {
    SetDestination(*c, d.text);
    EXPECT_TRUE(InstallEnabledFollowsFreeSpace(*c, d.showsFreeSpace)) << d.name;
    if (d.showsFreeSpace) {
      EXPECT_EQ(Text(c->freeSize).rfind(prefix, 0), 0u) << d.name << ": " << ToUtf8(U(Text(c->freeSize)));
      EXPECT_GT(Text(c->freeSize).size(), prefix.size()) << d.name;
    }
  }
}

// The free-space figure shown for a drive, back in bytes: "74.5 GB" and so on, after the prefix.
std::optional<double> ShownBytes(const std::wstring& label, const std::wstring& prefix, double& unit) {
  if (label.rfind(prefix, 0) != 0) return std::nullopt;
  const std::wstring figure = label.substr(prefix.size());
  const std::size_t blank = figure.find(L' ');
  if (blank == std::wstring::npos) return std::nullopt;
  const std::wstring number = figure.substr(0, blank);
  const std::wstring name = figure.substr(blank + 1);
  const std::pair<const wchar_t*, double> units[] = {
      {L"Bytes", 1.0}, {L"KB", 1024.0}, {L"MB", 1048576.0}, {L"GB", 1073741824.0}};
  for (const auto& [unitName, size] : units) {
    if (name != unitName) continue;
    wchar_t* end = nullptr;
    const double value = wcstod(number.c_str(), &end);
    if (end != number.c_str() + number.size()) return std::nullopt;
    // The last digit: tenths of a megabyte or gigabyte up to 100 of them (a tenth of 0 is not
    // written), whole units otherwise.
    const bool tenths = size >= 1048576.0 && (number.find(L'.') != std::wstring::npos || value <= 100);
    unit = tenths ? size / 10 : size;
    return value * size;
  }
  return std::nullopt;
}

// The figure is the drive's own free space, in binary units, to the digit it shows (other programs
// write to the same disk meanwhile: a small drift is allowed).
TEST_F(WizardBehaviour, FreeSpaceFigureIsTheDrives) {
  Wizard wizard(kSetup);
  std::unique_ptr<Controls> cp;
  OpenDestinationPage(wizard, cp);
  if (HasFatalFailure()) return;
  const Controls& c = *cp;
  SetDestination(c, L"C:\\Glyphor");
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  const std::wstring label = Text(c.freeSize);
  ULARGE_INTEGER available{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, nullptr, nullptr));
  double unit = 0;
  const std::optional<double> shown = ShownBytes(label, Texts().freeSpacePrefix, unit);
  ASSERT_TRUE(shown.has_value()) << ToUtf8(U(label));
  constexpr double kDrift = 256.0 * 1048576.0;
  EXPECT_NEAR(*shown, static_cast<double>(available.QuadPart), unit / 2 + kDrift) << ToUtf8(U(label));
}

// Drive E:, which the test's fixture presents to the Wine session as a CD-ROM drive: a drive that
// is not fixed, so only Browse can make it the destination.
constexpr wchar_t kCdromRoot[] = L"E:\\";
bool CdromDriveReady() { return GetDriveTypeW(kCdromRoot) == DRIVE_CDROM; }

// The text of an item of a tree view in another process: the item structure and its text buffer
// live in that process's memory, where the tree view reads and writes them.
std::wstring RemoteTreeItemText(HWND tree, HTREEITEM item) {
  DWORD processId = 0;
  GetWindowThreadProcessId(tree, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return {};
  constexpr int kChars = 260;
  const SIZE_T size = sizeof(TVITEMW) + kChars * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  std::wstring text;
  if (remote) {
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TVITEMW));
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = remoteText;
    request.cchTextMax = kChars;
    wchar_t buffer[kChars] = {};
    if (WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remoteText, buffer, sizeof buffer - sizeof(wchar_t), nullptr))
      text = buffer;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

// The folder dialog of Browse, found in the wizard's process: its tree of drives and its buttons.
struct BrowseDialog {
  explicit BrowseDialog(DWORD processId) {
    window = WaitForTopLevel(processId, [](HWND w) {
      return ClassName(w) == L"#32770" && FindWindowExW(w, nullptr, L"SysTreeView32", nullptr) != nullptr;
    });
    if (window) tree = FindWindowExW(window, nullptr, L"SysTreeView32", nullptr);
  }
  // The drive below the root of the tree whose name shows this letter ("(E:)"), selected.
  bool SelectDrive(wchar_t letter) const {
    const auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (!root) return false;
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    const std::wstring mark = std::wstring(L"(") + letter + L":)";
    for (auto item = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
         item; item = reinterpret_cast<HTREEITEM>(
                   SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      if (RemoteTreeItemText(tree, item).find(mark) != std::wstring::npos)
        return SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
    }
    return false;
  }
  HWND window = nullptr;
  HWND tree = nullptr;
};

// Browse: a cancelled dialog changes nothing; a chosen drive that is not fixed becomes the
// destination and shows its free space, which a typed folder on it does not.
TEST_F(WizardBehaviour, BrowseCancelledThenChosen) {
  ASSERT_TRUE(CdromDriveReady()) << "drive E: is not set up as a CD-ROM drive (run through ctest)";
  Wizard wizard(kSetup);
  std::unique_ptr<Controls> cp;
  OpenDestinationPage(wizard, cp);
  if (HasFatalFailure()) return;
  const Controls& c = *cp;
  SetDestination(c, kCdromRoot);
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, false)) << "a typed folder on a drive that is not fixed";

  Click(c.browse);
  const BrowseDialog cancelled(wizard.Program().Id());
  ASSERT_NE(cancelled.window, nullptr) << "no folder dialog";
  Click(GetDlgItem(cancelled.window, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(cancelled.window); }));
  EXPECT_EQ(Text(c.edit), kCdromRoot);
  EXPECT_TRUE(InstallEnabledFollowsFreeSpace(c, false));

  Click(c.browse);
  const BrowseDialog chosen(wizard.Program().Id());
  ASSERT_NE(chosen.window, nullptr) << "no folder dialog";
  ASSERT_TRUE(chosen.SelectDrive(L'E')) << "no drive E: in the folder dialog";
  Click(GetDlgItem(chosen.window, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chosen.window); }));
  EXPECT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  EXPECT_EQ(Text(c.edit), kCdromRoot);
  EXPECT_EQ(Text(c.freeSize).rfind(Texts().freeSpacePrefix, 0), 0u);
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
  const RunTexts& texts = Texts();
  const std::wstring title = Text(c.form);

  // The folder cannot be created below a file: a plain message, nothing changed.
  SetDestination(c, (blocker / "sub").wstring());
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  Click(c.btnNext);
  HWND box = WaitForMessageBox(wizard.Program().Id());
  ASSERT_NE(box, nullptr) << "no message for the folder that cannot be created";
  MessageBoxContent content = ReadMessageBox(box);
  EXPECT_EQ(content.text, texts.msgDirCreateFailed);
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
  // The usual text first, then the file that could not be written.
  EXPECT_EQ(content.text.rfind(std::wstring(texts.msgExtractFailed) + L"\n\n", 0), 0u) << ToUtf8(U(content.text));
  EXPECT_NE(content.text.find(obstacle.wstring()), std::wstring::npos) << ToUtf8(U(content.text));
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
  // Machine-wide: the all-users desktop and Start menu, nothing on the installing user's desktop.
  for (const std::u16string& link : {DesktopLink(), StartMenuLink()}) {
    ASSERT_TRUE(fs::exists(fs::path(link))) << ToUtf8(link);
    EXPECT_EQ(ToUtf8(ResolveShortcut(link)), ToUtf8(folder + u"Glyphor.exe"));
  }
  EXPECT_FALSE(fs::exists(fs::path(UsersDesktopLink())));
  // From Windows 6 on the Quick Launch box is hidden, though checked: no shortcut there.
  EXPECT_FALSE(fs::exists(fs::path(QuickLaunchLink())));
  // The side banner stands at the left of the finish page, the page's full height.
  EXPECT_EQ(GetParent(c.image), c.pages.pnlStep4);
  const RECT banner = Bounds(c.image);
  EXPECT_EQ(banner.left, 0);
  EXPECT_EQ(banner.top, 0);
  EXPECT_EQ(banner.bottom - banner.top, kPageHeight);
  EXPECT_TRUE(OwnVisible(c.btnNext));

  // Finish with "Launch" checked starts the product, once, and ends the wizard.
  ASSERT_TRUE(Checked(c.runOnExit));
  Click(c.btnNext);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
  ASSERT_TRUE(WaitUntil([] { return !ProductWindows().empty(); })) << "the product's window did not appear";
  // A shell that started it late beside the wizard's own launch would show a second window.
  Sleep(3000);
  EXPECT_EQ(ProductWindows().size(), 1u);
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
  // Quick Launch has no all-users folder: it stays the user's.
  for (const std::u16string& link : {DesktopLink(), StartMenuLink(), QuickLaunchLink()}) {
    ASSERT_TRUE(fs::exists(fs::path(link))) << ToUtf8(link);
    EXPECT_EQ(ToUtf8(ResolveShortcut(link)), ToUtf8(program));
  }
  Click(c.runOnExit);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.runOnExit); }, 5000));
  Click(c.btnNext);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
}

// Without the desktop option no desktop shortcut is made (the Start menu entry is, always), the
// Uninstall values are still written, and Finish without "Launch" starts nothing.
TEST_F(WizardBehaviour, NoShortcutAndFinishWithoutLaunch) {
  const testing_support::TempFolder root;
  const InstallLeftovers leftovers;
  const fs::path destination = root.Path() / "Plain";

  Wizard wizard(kSetup);
  std::unique_ptr<Controls> cp;
  OpenDestinationPage(wizard, cp);
  if (HasFatalFailure()) return;
  const Controls& c = *cp;
  // The bar runs from 0 to 100 over the install.
  EXPECT_EQ(SendMessageW(c.progress, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageW(c.progress, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageW(c.progress, PBM_GETPOS, 0, 0), 0);
  // The folder text ends in a backslash already: no second one.
  SetDestination(c, destination.wstring() + L"\\");
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  Click(c.desktop);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.desktop); }, 5000));
  Click(c.btnNext);
  ExpectPage(c, 4);
  EXPECT_EQ(SendMessageW(c.progress, PBM_GETPOS, 0, 0), 100);
  ExpectInstalledTree(destination);
  ExpectUninstallValues(destination.u16string() + u"\\");
  EXPECT_FALSE(fs::exists(fs::path(DesktopLink())));
  EXPECT_FALSE(fs::exists(fs::path(UsersDesktopLink())));
  EXPECT_TRUE(fs::exists(fs::path(StartMenuLink())));

  Click(c.runOnExit);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.runOnExit); }, 5000));
  Click(c.btnNext);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
  // Nothing else may start it; give a launch the time it would take to show a window.
  EXPECT_FALSE(WaitUntil([] { return !ProductWindows().empty(); }, 3000));
}

// Installs into `destination` through the wizard with the default options and ends it on the
// finish page without launching the product.
void InstallThroughWizard(const std::wstring& destination, const std::vector<std::wstring>& environment = {}) {
  Wizard wizard(kSetup, environment);
  ASSERT_NE(wizard.Form(), nullptr) << "no wizard window";
  const Controls c(wizard.Form());
  ASSERT_TRUE(c.Complete()) << "a control was not found";
  ExpectPage(c, 1);
  Click(c.btnNext);
  ExpectPage(c, 2);
  Click(c.btnNext);
  ExpectPage(c, 3);
  SetDestination(c, destination);
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  Click(c.btnNext);
  ExpectPage(c, 4);
  Click(c.runOnExit);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.runOnExit); }, 5000));
  Click(c.btnNext);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
}

// A desktop shortcut that cannot be saved (a folder holds its name) is no failure of the install:
// the wizard still makes the Start menu entry, registers the product and reaches the finish page.
TEST_F(WizardBehaviour, ShortcutThatCannotBeSavedStillFinishes) {
  const testing_support::TempFolder root;
  const InstallLeftovers leftovers;
  const fs::path destination = root.Path() / "NoLink";
  const fs::path blockedLink(DesktopLink());
  fs::create_directories(blockedLink / "inside");
  struct RemoveBlock {
    fs::path path;
    ~RemoveBlock() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  } removeBlock{blockedLink};

  Wizard wizard(kSetup);
  std::unique_ptr<Controls> cp;
  OpenDestinationPage(wizard, cp);
  if (HasFatalFailure()) return;
  const Controls& c = *cp;
  SetDestination(c, destination.wstring());
  ASSERT_TRUE(InstallEnabledFollowsFreeSpace(c, true));
  ASSERT_TRUE(Checked(c.desktop));
  Click(c.btnNext);
  ExpectPage(c, 4);
  ExpectInstalledTree(destination);
  ExpectUninstallValues(destination.u16string() + u"\\");
  EXPECT_TRUE(fs::is_directory(blockedLink)) << "the folder in the shortcut's place is untouched";
  EXPECT_TRUE(fs::exists(fs::path(StartMenuLink())));
  Click(c.runOnExit);
  ASSERT_TRUE(WaitUntil([&] { return !Checked(c.runOnExit); }, 5000));
  Click(c.btnNext);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
}

// The package is read from the setup program itself: a Setup.stp that someone placed in the
// destination beforehand is neither written, read nor deleted, so swapping it during the install
// changes nothing. (Links are left to the link tests: under Wine a file link made here is not
// reliably a link, and removing the test folder could follow it.)
TEST_F(WizardBehaviour, PackageFileInTheDestinationIsLeftAlone) {
  const testing_support::TempFolder root;
  const InstallLeftovers leftovers;
  const std::string planted = "someone else's Setup.stp, not a package";
  const fs::path destination = root.Path() / "Planted";
  fs::create_directories(destination);
  std::ofstream(destination / "Setup.stp", std::ios::binary) << planted;
  InstallThroughWizard(destination.wstring());
  ExpectInstalledTree(destination, false);
  EXPECT_EQ(Bytes(destination / "Setup.stp"), planted);
}

// The registered UninstallString is quoted, so run as the Programs list runs it (the whole value
// as the command line, no program name apart) it starts the uninstaller even from a folder whose
// path holds blanks and Chinese characters; answered Yes, that removes the product.
TEST_F(WizardBehaviour, RegisteredUninstallStringStartsTheUninstaller) {
  const testing_support::TempFolder root;
  const InstallLeftovers leftovers;
  const fs::path destination = root.Path() / L"Program Files" / L"\u6f9c\u5ddd Soft" / L"Glyphor 2";
  InstallThroughWizard(destination.wstring());
  if (HasFatalFailure()) return;
  const std::u16string folder = destination.u16string() + u"\\";
  ExpectInstalledTree(destination);
  const std::u16string key = kUninstallRoot + DisplayName();
  const std::u16string command = ReadRegistryString(HKEY_LOCAL_MACHINE, key, u"UninstallString");
  ASSERT_EQ(ToUtf8(command), ToUtf8(u"\"" + folder + u"Uninst.exe\""));

  std::wstring commandLine = std::wstring(command.begin(), command.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
      << "error " << GetLastError();
  CloseHandle(started.hThread);
  const HANDLE uninstaller = started.hProcess;
  HWND question = WaitForMessageBox(started.dwProcessId);
  EXPECT_NE(question, nullptr) << "the uninstaller asked nothing";
  if (question) {
    Click(GetDlgItem(question, IDYES));
    HWND done =
        WaitForTopLevel(started.dwProcessId, [&](HWND w) { return w != question && ClassName(w) == L"#32770"; });
    EXPECT_NE(done, nullptr) << "no message after the removal";
    if (done) Click(GetDlgItem(done, IDOK));
  }
  EXPECT_EQ(WaitForSingleObject(uninstaller, 30000), WAIT_OBJECT_0);
  DWORD exitCode = 99;
  GetExitCodeProcess(uninstaller, &exitCode);
  CloseHandle(uninstaller);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_FALSE(fs::exists(destination / "Glyphor.exe"));
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(destination); })) << "the install folder stays";
  UniqueRegistryKey left;
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, WidePtr(key), 0, KEY_READ, left.Put()), ERROR_SUCCESS);
}

// Unattended, as a deployment tool runs it (often as the system account, whose own desktop nobody
// sees): the desktop option is on by default and the shortcuts go to the all-users desktop and
// Start menu, starting the installed program. Uninst.exe /S removes them, and with them a desktop
// shortcut of the user's to the same install, as earlier versions made.
TEST_F(WizardBehaviour, SilentInstallMakesMachineWideShortcutsThatTheSilentRemovalTakes) {
  const ComApartment apartment;  // for resolving the shortcuts
  const testing_support::TempFolder root;
  const InstallLeftovers leftovers;
  const fs::path destination = root.Path() / "Machine";
  const std::u16string program = destination.u16string() + u"\\Glyphor.exe";
  Process setup(kSetup, L"/S /D=" + destination.wstring());
  ASSERT_EQ(setup.Wait(60000), std::optional<DWORD>(0));
  ExpectInstalledTree(destination);
  for (const std::u16string& link : {DesktopLink(), StartMenuLink()}) {
    ASSERT_TRUE(fs::exists(fs::path(link))) << ToUtf8(link);
    EXPECT_EQ(ToUtf8(ResolveShortcut(link)), ToUtf8(program)) << ToUtf8(link);
  }
  EXPECT_FALSE(fs::exists(fs::path(UsersDesktopLink())));

  CreateShortcut(program, u"", DisplayName(), spDesktop, u"");
  ASSERT_TRUE(fs::exists(fs::path(UsersDesktopLink())));
  Process uninstall((destination / "Uninst.exe").wstring(), L"/S");
  EXPECT_EQ(uninstall.Wait(60000), std::optional<DWORD>(0));
  for (const std::u16string& link : {DesktopLink(), StartMenuLink(), UsersDesktopLink()})
    EXPECT_FALSE(fs::exists(fs::path(link))) << ToUtf8(link);
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(destination); })) << "the install folder stays";
}

}  // namespace
}  // namespace setup::e2e
