// The install under faults, seen from outside: each row starts from a folder that holds an older
// version of the product and a file of the user's, and after a failure, a cancel or a killed run
// the folder, the system folder, the Uninstall key and the shortcuts are as they were. Plus the
// window that keeps answering and a bar that follows the bytes through a large install, and
// every exit code of the unattended mode. Each run has one language (the LANG it starts with).
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <span>

#include "base/MemorySource.h"
#include "base/Text.h"
#include "package/PackageTrailer.h"
#include "package/PackageWriter.h"
#include "shell/ComApartment.h"
#include "shell/Registry.h"
#include "shell/RegistryKey.h"
#include "shell/ShellFolders.h"
#include "shell/Shortcuts.h"
#include "tests/e2e/support/Driver.h"
#include "tests/support/TempFolder.h"
#include "tests/wizard/WizardWindowSupport.h"
#include "wizard/InstallTexts.h"
#include "wizard/WizardTexts.h"

namespace setup::e2e {
namespace {

namespace fs = std::filesystem;
using wizard::ChildAt;
using wizard::FindContainers;
using wizard::Wizard;

const std::wstring kSetup = WindowsPath(GLYPHOR_DIR) + L"\\Setup.exe";
const fs::path kStagedTree = fs::path(WindowsPath(PRODUCT_TREE));
constexpr char16_t kUninstallRoot[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kProductClass[] = L"VelmoraGlyphorMainWindow";
// The exit codes of Setup.exe /S.
constexpr DWORD kInstalled = 0, kBadCommandLine = 1, kProductRunning = 2, kUnusableDestination = 3, kTooLittleSpace = 4,
                kDamagedPackage = 5, kWriteFailure = 6, kCancelled = 1602, kAnotherRunning = 1618,
                kRestartNeeded = 3010;
// The large file of the large product: big enough that the install takes a while.
constexpr std::size_t kLargeFileBytes = 256u << 20;

bool ChineseRun() { return GetACP() == 936; }
std::u16string DisplayName() { return ChineseRun() ? u"澜川绘影" : u"Velmora Glyphor"; }
std::wstring W(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::u16string U(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A machine-wide install's shortcuts: the all-users desktop and Start menu entry.
std::u16string DesktopLink() { return GetCommonFolder(CommonPlace::Desktop) + u"\\" + DisplayName() + u".lnk"; }
std::u16string StartMenuLink() { return GetCommonFolder(CommonPlace::Programs) + u"\\" + DisplayName() + u".lnk"; }
// Where earlier versions put the desktop shortcut.
std::u16string UsersDesktopLink() { return GetSpecialFolder(spDesktop) + u"\\" + DisplayName() + u".lnk"; }
std::u16string QuickLaunchLink() { return GetSpecialFolder(spQuickLaunch) + u"\\" + DisplayName() + u".lnk"; }
std::u16string ProductKey() { return kUninstallRoot + DisplayName(); }

bool KeyExists(const std::u16string& path) {
  UniqueRegistryKey key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, WidePtr(path), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// What an install may change: the folder's files and folders with their bytes, the names in the
// system folder, the Uninstall key and the shortcuts.
struct World {
  std::map<std::wstring, std::string> folder;
  std::set<std::wstring> system;
  bool key = false;
  bool desktop = false;
  bool startMenu = false;
  bool quickLaunch = false;
  bool operator==(const World&) const = default;
};

World Take(const fs::path& folder) {
  World world;
  std::error_code ignored;
  if (fs::exists(folder)) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      const std::wstring name = fs::relative(entry.path(), folder).wstring();
      world.folder[entry.is_directory() ? name + L"\\" : name] = entry.is_directory() ? "" : Bytes(entry.path());
    }
  }
  for (const auto& entry : fs::directory_iterator(fs::path(W(GetSystemFolder())), ignored))
    world.system.insert(entry.path().filename().wstring());
  world.key = KeyExists(ProductKey());
  world.desktop = fs::exists(fs::path(W(DesktopLink())));
  world.startMenu = fs::exists(fs::path(W(StartMenuLink())));
  world.quickLaunch = fs::exists(fs::path(W(QuickLaunchLink())));
  return world;
}

// Names the differences, so a failure says what was left behind.
std::string Differences(const World& before, const World& after) {
  std::string text;
  for (const auto& [name, bytes] : after.folder) {
    const auto it = before.folder.find(name);
    if (it == before.folder.end())
      text += "added " + ToUtf8(U(name)) + "; ";
    else if (it->second != bytes)
      text += "changed " + ToUtf8(U(name)) + "; ";
  }
  for (const auto& [name, bytes] : before.folder)
    if (!after.folder.count(name)) text += "removed " + ToUtf8(U(name)) + "; ";
  for (const std::wstring& name : after.system)
    if (!before.system.count(name)) text += "system folder gained " + ToUtf8(U(name)) + "; ";
  if (before.key != after.key) text += "Uninstall key differs; ";
  if (before.desktop != after.desktop) text += "desktop shortcut differs; ";
  if (before.startMenu != after.startMenu) text += "Start menu entry differs; ";
  if (before.quickLaunch != after.quickLaunch) text += "Quick Launch shortcut differs; ";
  return text;
}

// Removes what an install leaves outside its folder, at the start and at the end of a test.
void RemoveInstallTraces() {
  std::error_code ignored;
  for (const std::u16string& link : {DesktopLink(), StartMenuLink(), UsersDesktopLink(), QuickLaunchLink()})
    fs::remove(fs::path(W(link)), ignored);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, WidePtr(ProductKey()));
  for (const auto& entry : fs::directory_iterator(kStagedTree / "$System$", ignored))
    fs::remove(fs::path(W(GetSystemFolder())) / entry.path().filename(), ignored);
}

// An older version of the product in `folder`, and a file of the user's.
void StageOlderVersion(const fs::path& folder) {
  for (const auto& entry : fs::recursive_directory_iterator(kStagedTree)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), kStagedTree);
    if (*relative.begin() == "$System$") continue;
    WriteFile(folder / relative, "version 2.29 of " + relative.generic_string());
  }
  WriteFile(folder / "My notes.txt", "the user's own notes");
}

// The package that a setup program carries.
std::string PackageOf(const std::wstring& exe) {
  const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return {};
  std::string bytes;
  if (HRSRC found = FindResourceW(module, L"SetupPackage", L"StpFile")) {
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    bytes.assign(data, SizeofResource(module, found));
  }
  FreeLibrary(module);
  return bytes;
}

BOOL CALLBACK TakeLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  *reinterpret_cast<WORD*>(found) = language;
  return FALSE;
}

// A copy of the sample Setup.exe in `folder` that carries `package` in place of its own.
std::wstring SetupCarrying(const fs::path& folder, const std::string& package) {
  const fs::path copy = folder / "Setup.exe";
  fs::copy_file(kSetup, copy, fs::copy_options::overwrite_existing);
  WORD language = 0;
  if (const HMODULE module = LoadLibraryExW(kSetup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    EnumResourceLanguagesW(module, L"StpFile", L"SetupPackage", TakeLanguage, reinterpret_cast<LONG_PTR>(&language));
    FreeLibrary(module);
  }
  const HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
  EXPECT_NE(update, nullptr);
  EXPECT_TRUE(UpdateResourceW(update, L"StpFile", L"SetupPackage", language, const_cast<char*>(package.data()),
                              static_cast<DWORD>(package.size())));
  EXPECT_TRUE(EndUpdateResourceW(update, FALSE));
  EXPECT_EQ(PackageOf(copy.wstring()).size(), package.size());
  return copy.wstring();
}

// The sample package with a byte of its last stream's checksum changed.
std::string DamagedPackage() {
  std::string package = PackageOf(kSetup);
  MemorySource source(std::as_bytes(std::span<const char>(package.data(), package.size())));
  const auto table = ReadTableText(source);
  EXPECT_TRUE(table.has_value());
  if (table) package[static_cast<std::size_t>(table->start) - 2] ^= 0x5A;
  return package;
}

// The sample product plus one large file, packed in the test: the product's files first, the
// large one last, so the bar spends most of the install inside it.
std::string LargePackage(const fs::path& work) {
  std::vector<PackageEntry> entries;
  for (const auto& entry : fs::recursive_directory_iterator(kStagedTree)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), kStagedTree);
    std::u16string folder = relative.parent_path().u16string();
    std::replace(folder.begin(), folder.end(), u'/', u'\\');
    if (!folder.empty() && folder != u"$System$") folder += u"\\";
    entries.push_back({folder, relative.filename().u16string(), entry.path().u16string(), std::nullopt});
  }
  // Bytes that compress a little, so the streams are neither trivial nor stored.
  std::string large(kLargeFileBytes, '\0');
  std::uint32_t state = 2463534242u;
  for (std::size_t i = 0; i < large.size(); ++i) {
    if (i % 4 == 0) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
    }
    large[i] = static_cast<char>('A' + (state >> (8 * (i % 4))) % 16);
  }
  const fs::path largeFile = work / "Media.bin";
  WriteFile(largeFile, large);
  entries.push_back({u"Media\\", u"Media.bin", largeFile.u16string(), std::nullopt});
  PackageWriterOptions options;
  options.level = 1;
  const fs::path packageFile = work / "large.stp";
  WritePackage(entries, packageFile.u16string(), options);
  fs::remove(largeFile);
  std::string bytes = Bytes(packageFile);
  fs::remove(packageFile);
  return bytes;
}

// The sample product's package with another Glyphor.exe: the next build of the product.
std::string PackageWithNewProgram(const fs::path& work, std::string_view program) {
  const fs::path programFile = work / "Glyphor.exe";
  WriteFile(programFile, program);
  std::vector<PackageEntry> entries;
  for (const auto& entry : fs::recursive_directory_iterator(kStagedTree)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), kStagedTree);
    std::u16string folder = relative.parent_path().u16string();
    std::replace(folder.begin(), folder.end(), u'/', u'\\');
    if (!folder.empty() && folder != u"$System$") folder += u"\\";
    const fs::path source = relative == "Glyphor.exe" ? programFile : entry.path();
    entries.push_back({folder, relative.filename().u16string(), source.u16string(), std::nullopt});
  }
  const fs::path packageFile = work / "next.stp";
  WritePackage(entries, packageFile.u16string(), PackageWriterOptions{});
  std::string bytes = Bytes(packageFile);
  fs::remove(packageFile);
  return bytes;
}

// A folder where the product's file should go: no file can take its name, and nobody holds it
// open, so the install fails there and rolls back.
void BlockWithFolder(const fs::path& target) {
  fs::remove(target);
  WriteFile(target / "inside.txt", "a folder in the way");
}

// Runs Setup.exe with `arguments` and returns its exit code (or nothing when it hangs).
std::optional<DWORD> RunSetup(const std::wstring& exe, const std::wstring& arguments, DWORD milliseconds = 120000) {
  Process setup(exe, arguments);
  return setup.Wait(milliseconds);
}

// The wizard's controls the fault rows use.
struct WizardControls {
  explicit WizardControls(HWND wizardForm) : form(wizardForm) {
    const wizard::Containers pages = FindContainers(form);
    btnNext = ChildAt(form, L"Button", 330, 323);
    btnClose = ChildAt(form, L"Button", 417, 323);
    progress = ChildAt(form, L"msctls_progress32", 35, 328);
    edit = ChildAt(pages.gbFolder, L"Edit", 17, 24);
  }
  bool Complete() const { return btnNext && btnClose && progress && edit; }
  int Position() const { return static_cast<int>(SendMessageW(progress, PBM_GETPOS, 0, 0)); }
  HWND form, btnNext, btnClose, progress, edit;
};

// The wizard started, led to page 3 with the destination typed, and Install pressed.
std::unique_ptr<WizardControls> StartWizardInstall(Wizard& wizard, const fs::path& destination) {
  if (!wizard.Form()) return nullptr;
  auto c = std::make_unique<WizardControls>(wizard.Form());
  if (!c->Complete()) return nullptr;
  const TWizardTexts texts =
      ChineseRun() ? ChineseTexts({DisplayName(), u"2.30", u"6 MB"}) : EnglishTexts({DisplayName(), u"2.30", u"6 MB"});
  Click(c->btnNext);
  if (!WaitUntil([&] { return Text(c->btnNext) == W(texts.captionAgree); })) return nullptr;
  Click(c->btnNext);
  if (!WaitUntil([&] { return Text(c->btnNext) == W(texts.captionInstall); })) return nullptr;
  const std::wstring text = destination.wstring();
  SendMessageW(c->edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (!WaitUntil([&] { return Enabled(c->btnNext); }, 5000)) return nullptr;
  Click(c->btnNext);
  return c;
}

// The install journals in the system's folder for data of all users.
std::size_t JournalCount() {
  wchar_t data[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data))) return 0;
  std::error_code ignored;
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(data) / L"Setup Toolkit" / L"Journals", ignored))
    if (entry.path().extension() == L".jnl") ++count;
  return count;
}

// The form answers within a second: it is not hung.
bool Answers(HWND form) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &result) != 0;
}

class Faults : public testing::Test {
 protected:
  void SetUp() override {
    RemoveInstallTraces();
    StageOlderVersion(destination_);
    before_ = Take(destination_);
  }
  void TearDown() override { RemoveInstallTraces(); }

  void ExpectAsBefore() {
    const World after = Take(destination_);
    EXPECT_TRUE(after == before_) << Differences(before_, after);
  }
  std::wstring LogArgument() const { return L" /LOG=\"" + log_.wstring() + L"\""; }
  std::wstring DestinationArgument() const { return L" /D=" + destination_.wstring(); }

  testing_support::TempFolder root_;
  fs::path destination_ = root_.Path() / L"Velmora Soft" / L"Glyphor";
  fs::path log_ = root_.Path() / "setup.log";
  World before_;
};

// The large product's Setup.exe, made once for every test that needs it.
class LargeFaults : public Faults {
 protected:
  static void SetUpTestSuite() {
    work_ = new testing_support::TempFolder;
    setup_ = new std::wstring(SetupCarrying(work_->Path(), LargePackage(work_->Path())));
  }
  static void TearDownTestSuite() {
    delete setup_;
    delete work_;
  }
  static testing_support::TempFolder* work_;
  static std::wstring* setup_;
};
testing_support::TempFolder* LargeFaults::work_ = nullptr;
std::wstring* LargeFaults::setup_ = nullptr;

TEST_F(Faults, DamagedStreamInTheLastFileRollsBack) {
  const std::wstring setup = SetupCarrying(root_.Path(), DamagedPackage());
  EXPECT_EQ(RunSetup(setup, L"/S" + LogArgument() + DestinationArgument()), std::optional<DWORD>(kDamagedPackage));
  ExpectAsBefore();
  const std::string log = Bytes(log_);
  EXPECT_NE(log.find("Rolled back"), std::string::npos) << log;
}

TEST_F(Faults, TargetThatCannotBeReplacedRollsBack) {
  const fs::path blocked = destination_ / "Glyphor.exe";
  BlockWithFolder(blocked);
  before_ = Take(destination_);
  const std::optional<DWORD> code = RunSetup(kSetup, L"/S" + LogArgument() + DestinationArgument());
  EXPECT_EQ(code, std::optional<DWORD>(kWriteFailure));
  ExpectAsBefore();
  EXPECT_NE(Bytes(log_).find("Glyphor.exe"), std::string::npos);
}

// A file of the installed product that a running program holds open without delete sharing
// cannot be replaced now: the install of the next build goes on, ends with 3010 and names the
// file in its log, the old file stays until the restart, and the restart (Wine's, which carries
// out the system's pending moves) puts the new one in place. The run after it leaves no journal.
TEST_F(Faults, TargetHeldOpenIsReplacedAtTheRestart) {
  const std::size_t journalsBefore = JournalCount();
  ASSERT_EQ(RunSetup(kSetup, L"/S" + DestinationArgument()), std::optional<DWORD>(kInstalled));
  const fs::path held = destination_ / "Glyphor.exe";
  const std::string installed = Bytes(kStagedTree / "Glyphor.exe");
  ASSERT_EQ(Bytes(held), installed);
  const std::string next = "Glyphor, the next build";
  fs::create_directories(root_.Path() / "next");
  const std::wstring nextSetup =
      SetupCarrying(root_.Path() / "next", PackageWithNewProgram(root_.Path() / "next", next));

  HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunSetup(nextSetup, L"/S" + LogArgument() + DestinationArgument()), std::optional<DWORD>(kRestartNeeded));
  CloseHandle(h);
  EXPECT_EQ(Bytes(held), installed);
  EXPECT_TRUE(KeyExists(ProductKey()));
  const std::string log = Bytes(log_);
  EXPECT_NE(log.find("In use, replaced at the next restart: " + ToUtf8(held.u16string())), std::string::npos) << log;

  Process restart(W(GetSystemFolder()) + L"\\wineboot.exe", L"-r");
  ASSERT_EQ(restart.Wait(60000), std::optional<DWORD>(0));
  EXPECT_EQ(Bytes(held), next);
  for (const auto& entry : fs::directory_iterator(destination_))
    EXPECT_NE(entry.path().extension(), L".tmp") << entry.path().string();

  EXPECT_EQ(RunSetup(nextSetup, L"/S" + DestinationArgument()), std::optional<DWORD>(kInstalled));
  EXPECT_EQ(Bytes(held), next);
  EXPECT_EQ(JournalCount(), journalsBefore);
}

// The wizard's message names the failed file after the usual text.
TEST_F(Faults, WizardFailureMessageNamesTheFile) {
  const fs::path held = destination_ / "Glyphor.exe";
  BlockWithFolder(held);
  before_ = Take(destination_);
  Wizard wizard(kSetup);
  const auto c = StartWizardInstall(wizard, destination_);
  ASSERT_NE(c, nullptr) << "the wizard did not reach Install";
  const HWND box = WaitForClass(wizard.Program().Id(), L"#32770", 60000);
  ASSERT_NE(box, nullptr) << "no failure message";
  const MessageBoxContent content = ReadMessageBox(box);
  const TWizardTexts texts =
      ChineseRun() ? ChineseTexts({DisplayName(), u"2.30", u"6 MB"}) : EnglishTexts({DisplayName(), u"2.30", u"6 MB"});
  EXPECT_EQ(content.text.rfind(W(texts.msgExtractFailed), 0), 0u);
  EXPECT_NE(content.text.find(held.wstring()), std::wstring::npos) << ToUtf8(U(content.text));
  Click(GetDlgItem(box, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) && Enabled(c->btnNext); }));
  ExpectAsBefore();
  Click(c->btnClose);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(kCancelled));
}

struct CancelPoint {
  const char* name;
  int percent;
};

class CancelAt : public LargeFaults, public testing::WithParamInterface<CancelPoint> {};

// Cancel asks in the wizard's language; Yes stops the install, rolls it back and ends the wizard.
TEST_P(CancelAt, RollsBackToTheOlderVersion) {
  Wizard wizard(*setup_);
  const auto c = StartWizardInstall(wizard, destination_);
  ASSERT_NE(c, nullptr) << "the wizard did not reach Install";
  ASSERT_TRUE(WaitUntil([&] { return c->Position() >= GetParam().percent; }, 120000)) << "the bar never got there";
  EXPECT_TRUE(Enabled(c->btnClose));
  EXPECT_FALSE(Enabled(c->btnNext));
  Click(c->btnClose);
  const HWND box = WaitForClass(wizard.Program().Id(), L"#32770");
  ASSERT_NE(box, nullptr) << "no question";
  EXPECT_EQ(ReadMessageBox(box).text, W(InstallTexts(ChineseRun() ? 0 : 2).cancelQuestion));
  Click(GetDlgItem(box, IDYES));
  EXPECT_EQ(wizard.Program().Wait(60000), std::optional<DWORD>(kCancelled));
  ExpectAsBefore();
}

INSTANTIATE_TEST_SUITE_P(Points, CancelAt,
                         testing::Values(CancelPoint{"Ten", 10}, CancelPoint{"Fifty", 50}, CancelPoint{"Ninety", 90}),
                         [](const auto& item) { return std::string(item.param.name); });

// Cancel answered No: the install runs on to the finish page, registered, and nothing of the
// controls the install read could be changed meanwhile.
TEST_F(LargeFaults, CancelAnsweredNoInstallsOn) {
  Wizard wizard(*setup_);
  const auto c = StartWizardInstall(wizard, destination_);
  ASSERT_NE(c, nullptr) << "the wizard did not reach Install";
  ASSERT_TRUE(WaitUntil([&] { return c->Position() >= 10; }, 120000)) << "the bar never got there";
  EXPECT_FALSE(Enabled(c->edit)) << "the folder box stays editable during the install";
  const wizard::Containers pages = FindContainers(c->form);
  for (HWND option : {ChildAt(pages.pnlStep3, L"Button", 237, 217), ChildAt(pages.pnlStep3, L"Button", 237, 243)}) {
    ASSERT_NE(option, nullptr);
    EXPECT_FALSE(Enabled(option)) << "an option box stays usable during the install";
  }
  Click(c->btnClose);
  const HWND box = WaitForClass(wizard.Program().Id(), L"#32770");
  ASSERT_NE(box, nullptr) << "no question";
  Click(GetDlgItem(box, IDNO));
  const TWizardTexts texts =
      ChineseRun() ? ChineseTexts({DisplayName(), u"2.30", u"6 MB"}) : EnglishTexts({DisplayName(), u"2.30", u"6 MB"});
  ASSERT_TRUE(WaitUntil([&] { return Text(c->btnNext) == W(texts.captionFinish); }, 180000)) << "no finish page";
  EXPECT_EQ(fs::file_size(destination_ / "Media" / "Media.bin"), kLargeFileBytes);
  EXPECT_TRUE(KeyExists(ProductKey()));
  EXPECT_EQ(Bytes(destination_ / "My notes.txt"), "the user's own notes");
  Close(c->form);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
}

// Yes given while the question shows and the last file has been written meanwhile: the install
// is undone all the same, as the unattended mode undoes it.
TEST_F(LargeFaults, CancelYesAfterTheLastFileRollsBack) {
  Wizard wizard(*setup_, {}, LogArgument());
  const auto c = StartWizardInstall(wizard, destination_);
  ASSERT_NE(c, nullptr) << "the wizard did not reach Install";
  ASSERT_TRUE(WaitUntil([&] { return c->Position() >= 50; }, 120000)) << "the bar never got there";
  Click(c->btnClose);
  const HWND box = WaitForClass(wizard.Program().Id(), L"#32770");
  ASSERT_NE(box, nullptr) << "no question";
  ASSERT_TRUE(WaitUntil([&] { return Bytes(log_).find("Extracted:") != std::string::npos; }, 180000))
      << "the files were never all written";
  Click(GetDlgItem(box, IDYES));
  EXPECT_EQ(wizard.Program().Wait(60000), std::optional<DWORD>(kCancelled));
  ExpectAsBefore();
}

// Throughout a large install the window answers within a second, and the bar only moves forward,
// in steps inside the large file, to 100.
TEST_F(LargeFaults, WindowAnswersAndTheBarFollowsTheBytes) {
  Wizard wizard(*setup_);
  const auto c = StartWizardInstall(wizard, destination_);
  ASSERT_NE(c, nullptr) << "the wizard did not reach Install";
  std::vector<int> positions;
  int unanswered = 0;
  const TWizardTexts texts =
      ChineseRun() ? ChineseTexts({DisplayName(), u"2.30", u"6 MB"}) : EnglishTexts({DisplayName(), u"2.30", u"6 MB"});
  const bool finished = WaitUntil(
      [&] {
        if (!Answers(c->form)) ++unanswered;
        positions.push_back(c->Position());
        return Text(c->btnNext) == W(texts.captionFinish);
      },
      180000);
  ASSERT_TRUE(finished) << "the install did not end";
  positions.push_back(c->Position());
  EXPECT_EQ(unanswered, 0);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_EQ(positions.back(), 100);
  std::set<int> between;
  for (const int p : positions)
    if (p > 0 && p < 100) between.insert(p);
  // The large file is most of the bytes: the bar shows several places inside it.
  EXPECT_GE(between.size(), 3u);
  EXPECT_EQ(Bytes(destination_ / "My notes.txt"), "the user's own notes");
  EXPECT_EQ(fs::file_size(destination_ / "Media" / "Media.bin"), kLargeFileBytes);
  Click(c->btnNext);  // Finish; "Launch" is checked, so close the product it starts
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(0));
  WaitUntil([] { return FindWindowW(kProductClass, nullptr) != nullptr; }, 10000);
  for (HWND w = FindWindowW(kProductClass, nullptr); w; w = FindWindowW(kProductClass, nullptr)) {
    Close(w);
    if (!WaitUntil([&] { return !IsWindow(w); }, 5000)) break;
  }
}

// A Setup killed in the middle leaves what the next run recognises: that run undoes it before
// it installs (here a run that then fails, so it must end where the row began), and a normal run
// after it installs cleanly.
TEST_F(LargeFaults, KilledInTheMiddleIsUndoneByTheNextRun) {
  {
    Wizard wizard(*setup_);
    const auto c = StartWizardInstall(wizard, destination_);
    ASSERT_NE(c, nullptr) << "the wizard did not reach Install";
    ASSERT_TRUE(WaitUntil([&] { return c->Position() >= 50; }, 120000));
    wizard.Program().Kill();
    ASSERT_TRUE(WaitUntil([&] { return !wizard.Program().Running(); }));
  }
  // The journal lies with the administrators' data, not in the destination.
  EXPECT_EQ(JournalCount(), 1u);
  EXPECT_FALSE(fs::exists(destination_ / "~stpinstall.jnl"));
  EXPECT_FALSE(Take(destination_) == before_);

  const std::wstring damaged = SetupCarrying(root_.Path(), DamagedPackage());
  EXPECT_EQ(RunSetup(damaged, L"/S" + LogArgument() + DestinationArgument()), std::optional<DWORD>(kDamagedPackage));
  ExpectAsBefore();
  EXPECT_NE(Bytes(log_).find("Undone"), std::string::npos);

  EXPECT_EQ(RunSetup(*setup_, L"/S" + DestinationArgument(), 180000), std::optional<DWORD>(kInstalled));
  EXPECT_EQ(Bytes(destination_ / "Glyphor.exe"), Bytes(kStagedTree / "Glyphor.exe"));
  EXPECT_EQ(Bytes(destination_ / "My notes.txt"), "the user's own notes");
  for (const auto& entry : fs::recursive_directory_iterator(destination_))
    EXPECT_EQ(entry.path().filename().wstring().rfind(L"~stp", 0), std::wstring::npos) << entry.path().string();
}

TEST_F(LargeFaults, SilentInstallClosedPolitelyIsCancelled) {
  Process setup(*setup_, L"/S" + LogArgument() + DestinationArgument());
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(destination_ / "Media"); }, 60000)) << "the large file never began";
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    window = FindWindowW(L"SetupSilentInstall", nullptr);
    return window != nullptr;
  }));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(setup.Wait(60000), std::optional<DWORD>(kCancelled));
  ExpectAsBefore();
}

// The exit codes that need no large product.
TEST_F(Faults, ExitCodesOfTheUnattendedMode) {
  EXPECT_EQ(RunSetup(kSetup, L"/S /Q" + DestinationArgument()), std::optional<DWORD>(kBadCommandLine));
  EXPECT_EQ(RunSetup(kSetup, L"/S /D="), std::optional<DWORD>(kBadCommandLine));
  EXPECT_EQ(RunSetup(kSetup, L"/S /D=Q:\\nowhere"), std::optional<DWORD>(kUnusableDestination));
  EXPECT_EQ(RunSetup(kSetup, L"/S /D=relative\\folder"), std::optional<DWORD>(kUnusableDestination));
  // A folder below a file cannot be made.
  WriteFile(root_.Path() / "blocker", "a file");
  EXPECT_EQ(RunSetup(kSetup, L"/S /D=" + (root_.Path() / "blocker" / "sub").wstring()),
            std::optional<DWORD>(kUnusableDestination));
  ExpectAsBefore();

  Process product((kStagedTree / "Glyphor.exe").wstring());
  ASSERT_TRUE(WaitUntil([] { return FindWindowW(kProductClass, nullptr) != nullptr; })) << "the product did not start";
  EXPECT_EQ(RunSetup(kSetup, L"/S" + DestinationArgument()), std::optional<DWORD>(kProductRunning));
  product.Kill();
  ExpectAsBefore();
}

// The log never empties a file it was pointed at: an existing plain file is appended to, and a
// folder or a file with a second name is refused as a bad command line before anything is done.
TEST_F(Faults, LogAppendsAndRefusesWhatIsNotAPlainFile) {
  WriteFile(log_, "someone's own text\r\n");
  EXPECT_EQ(RunSetup(kSetup, L"/S /Q" + LogArgument() + DestinationArgument()), std::optional<DWORD>(kBadCommandLine));
  EXPECT_EQ(Bytes(log_), "someone's own text\r\n");
  EXPECT_EQ(RunSetup(kSetup, L"/S" + LogArgument() + DestinationArgument()), std::optional<DWORD>(kInstalled));
  const std::string log = Bytes(log_);
  EXPECT_EQ(log.rfind("someone's own text\r\nSetup: unattended install", 0), 0u) << log;

  const fs::path folder = root_.Path() / "a folder.log";
  fs::create_directories(folder);
  const fs::path victim = root_.Path() / "victim.txt";
  WriteFile(victim, "not a log");
  const fs::path second = root_.Path() / "second name.log";
  ASSERT_TRUE(CreateHardLinkW(second.c_str(), victim.c_str(), nullptr));
  for (const fs::path& refused : {folder, second}) {
    EXPECT_EQ(RunSetup(kSetup, L"/S /LOG=\"" + refused.wstring() + L"\"" + DestinationArgument()),
              std::optional<DWORD>(kBadCommandLine))
        << refused.string();
  }
  EXPECT_EQ(Bytes(victim), "not a log");
}

// A drive too small for the product: the fixture mounts a 256 KB file system below C:\.
TEST_F(Faults, TooLittleSpaceStopsBeforeWriting) {
  const fs::path small = L"C:\\e2e-small";
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(small.c_str(), &available, nullptr, nullptr) || available.QuadPart > (512u << 10))
    GTEST_SKIP() << "no small file system at C:\\e2e-small (mounting needs root)";
  const fs::path destination = small / "Glyphor";
  const World smallBefore = Take(destination);
  EXPECT_EQ(RunSetup(kSetup, L"/S" + LogArgument() + L" /D=" + destination.wstring()),
            std::optional<DWORD>(kTooLittleSpace));
  EXPECT_FALSE(fs::exists(destination));
  EXPECT_TRUE(Take(destination) == smallBefore);
  EXPECT_NE(Bytes(log_).find("Not enough space"), std::string::npos);

  // The wizard says how much is missing and stays on page 3.
  Wizard wizard(kSetup);
  const auto c = StartWizardInstall(wizard, destination);
  ASSERT_NE(c, nullptr);
  const HWND box = WaitForClass(wizard.Program().Id(), L"#32770");
  ASSERT_NE(box, nullptr) << "no message";
  const std::wstring text = ReadMessageBox(box).text;
  // The text of the wizard's language around the missing amount.
  const std::u16string pattern = InstallTexts(ChineseRun() ? 0 : 2).notEnoughSpace;
  const std::size_t at = pattern.find(u"%s");
  ASSERT_NE(at, std::u16string::npos);
  const std::wstring before = W(pattern.substr(0, at)), after = W(pattern.substr(at + 2));
  EXPECT_EQ(text.rfind(before, 0), 0u) << ToUtf8(U(text));
  EXPECT_TRUE(text.size() > before.size() + after.size() && text.ends_with(after)) << ToUtf8(U(text));
  Click(GetDlgItem(box, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(Enabled(c->btnNext));
  EXPECT_FALSE(fs::exists(destination));
  Click(c->btnClose);
  EXPECT_EQ(wizard.Program().Wait(15000), std::optional<DWORD>(kCancelled));
}

DWORD ReadDword(const std::u16string& key, const wchar_t* name) {
  DWORD value = 0xFFFFFFFF, size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, WidePtr(key), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return 0xFFFFFFFF;
  return value;
}

// Unattended into a folder whose path holds blanks and Chinese characters: the files, the
// shortcut, every Uninstall value, the log; then the registered quiet uninstall removes it all.
TEST_F(Faults, SilentInstallRegistersAndTheQuietUninstallRemovesIt) {
  const ComApartment apartment;  // for resolving the shortcut
  const fs::path destination = root_.Path() / L"Program Files" / L"\u6f9c\u5ddd Soft" / L"Glyphor 2";
  const std::u16string folder = destination.u16string() + u"\\";
  ASSERT_EQ(RunSetup(kSetup, L"/S" + LogArgument() + L" /D=" + destination.wstring()),
            std::optional<DWORD>(kInstalled));

  std::uintmax_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kStagedTree)) {
    if (!entry.is_regular_file()) continue;
    total += entry.file_size();
    const fs::path relative = fs::relative(entry.path(), kStagedTree);
    const bool system = *relative.begin() == "$System$";
    const fs::path installed = system ? fs::path(W(GetSystemFolder())) / relative.filename() : destination / relative;
    EXPECT_EQ(Bytes(installed), Bytes(entry.path())) << installed.string();
  }
  // The uninstaller is packed beside the staged tree: stpack build writes it.
  const fs::path builtUninstaller = fs::path(WindowsPath(GLYPHOR_DIR)) / "Uninst.exe";
  EXPECT_EQ(Bytes(destination / "Uninst.exe"), Bytes(builtUninstaller));
  total += fs::file_size(builtUninstaller);
  // Wine keeps a shortcut's target in the ANSI code page, which has no Chinese characters in
  // the English run: there the shortcuts are only looked for.
  for (const std::u16string& link : {DesktopLink(), StartMenuLink()}) {
    ASSERT_TRUE(fs::exists(fs::path(W(link)))) << ToUtf8(link);
    if (ChineseRun()) {
      EXPECT_EQ(ToUtf8(ResolveShortcut(link)), ToUtf8(folder + u"Glyphor.exe"));
    }
  }
  EXPECT_FALSE(fs::exists(fs::path(W(UsersDesktopLink()))));

  const std::u16string key = ProductKey();
  const std::u16string uninstaller = u"\"" + folder + u"Uninst.exe\"";
  const std::pair<const char16_t*, std::u16string> texts[] = {
      {u"DisplayIcon", folder + u"Glyphor.exe"},
      {u"DisplayName", DisplayName()},
      {u"DisplayVersion", u"2.30"},
      {u"UninstallString", uninstaller},
      {u"InstallLocation", destination.u16string()},
      {u"QuietUninstallString", uninstaller + u" /S"},
  };
  for (const auto& [name, data] : texts)
    EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_LOCAL_MACHINE, key, name)), ToUtf8(data)) << ToUtf8(name);
  EXPECT_EQ(ReadDword(key, L"EstimatedSize"), static_cast<DWORD>((total + 1023) / 1024));
  EXPECT_EQ(ReadDword(key, L"NoModify"), 1u);
  EXPECT_EQ(ReadDword(key, L"NoRepair"), 1u);

  const std::string log = Bytes(log_);
  EXPECT_NE(log.find(ToUtf8(u"File: " + folder + u"Glyphor.exe")), std::string::npos) << log;
  EXPECT_NE(log.find(ToUtf8(u"Registered: HKEY_LOCAL_MACHINE\\" + key)), std::string::npos) << log;
  EXPECT_NE(log.find("Installed"), std::string::npos) << log;

  // As a deployment tool runs it: the whole value as the command line.
  std::wstring commandLine = W(ReadRegistryString(HKEY_LOCAL_MACHINE, key, u"QuietUninstallString"));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  CloseHandle(started.hThread);
  EXPECT_EQ(WaitForSingleObject(started.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exitCode = 99;
  GetExitCodeProcess(started.hProcess, &exitCode);
  CloseHandle(started.hProcess);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(destination); })) << "the install folder stays";
  EXPECT_FALSE(KeyExists(key));
  // The uninstaller judges a shortcut by its target, which Wine cannot keep in the English run
  // (see above).
  if (ChineseRun()) {
    for (const std::u16string& link : {DesktopLink(), StartMenuLink()})
      EXPECT_FALSE(fs::exists(fs::path(W(link)))) << ToUtf8(link);
  }
}

// A journal a user planted in the destination (the place earlier versions kept it) is nobody's:
// the install neither moves a file of theirs into the system folder nor removes a shared system
// file that was there before, and the planted file stays as it was.
TEST_F(Faults, JournalPlantedInTheDestinationIsIgnored) {
  std::vector<fs::path> systemFiles;
  for (const auto& entry : fs::directory_iterator(kStagedTree / "$System$")) systemFiles.push_back(entry.path());
  ASSERT_FALSE(systemFiles.empty());
  const fs::path shared = fs::path(W(GetSystemFolder())) / systemFiles.front().filename();
  WriteFile(shared, "a shared library another product installed");
  const fs::path evil = root_.Path() / "evil.bin";
  WriteFile(evil, "the attacker's library");
  const std::wstring lines = L"N\t" + shared.wstring() + L"\nA\t" + shared.wstring() + L"\t" + evil.wstring() +
                             L"\nN\t" + (destination_ / "My notes.txt").wstring() + L"\n";
  WriteFile(destination_ / "~stpinstall.jnl", ToUtf8(U(lines)));
  EXPECT_EQ(RunSetup(kSetup, L"/S" + LogArgument() + DestinationArgument()), std::optional<DWORD>(kInstalled));
  EXPECT_EQ(Bytes(shared), "a shared library another product installed");
  EXPECT_EQ(Bytes(evil), "the attacker's library");
  EXPECT_EQ(Bytes(destination_ / "My notes.txt"), "the user's own notes");
  EXPECT_EQ(Bytes(destination_ / "~stpinstall.jnl"), ToUtf8(U(lines)));
  EXPECT_EQ(Bytes(log_).find("Undone"), std::string::npos) << Bytes(log_);
}

// The drive's root and the system's own folders are refused; a folder given with "..", "." or
// trailing dots is installed, logged and registered as the folder the system reaches.
TEST_F(Faults, DestinationIsCanonicalAndNeverASystemFolder) {
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  wchar_t programFiles[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"PROGRAMFILES", programFiles, MAX_PATH), 0u);
  const auto rootNames = [] {
    std::set<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(L"C:\\")) names.insert(entry.path().filename().wstring());
    return names;
  };
  const std::set<std::wstring> rootBefore = rootNames();
  for (const std::wstring& folder : {std::wstring(L"C:\\"), std::wstring(windows), std::wstring(windows) + L"\\.",
                                     std::wstring(programFiles), W(GetSystemFolder())}) {
    EXPECT_EQ(RunSetup(kSetup, L"/S /D=" + folder), std::optional<DWORD>(kUnusableDestination)) << ToUtf8(U(folder));
  }
  EXPECT_FALSE(fs::exists(fs::path(windows) / "Glyphor.exe"));
  EXPECT_TRUE(rootNames() == rootBefore) << "the drive's root changed";
  EXPECT_FALSE(KeyExists(ProductKey()));

  const fs::path canonical = root_.Path() / "RtDots";
  const std::wstring given = (root_.Path() / "Rt" / ".." / "RtDots.").wstring() + L"\\.";
  ASSERT_EQ(RunSetup(kSetup, L"/S" + LogArgument() + L" /D=" + given), std::optional<DWORD>(kInstalled));
  EXPECT_EQ(Bytes(canonical / "Glyphor.exe"), Bytes(kStagedTree / "Glyphor.exe"));
  EXPECT_FALSE(fs::exists(root_.Path() / "Rt"));
  EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_LOCAL_MACHINE, ProductKey(), u"InstallLocation")),
            ToUtf8(canonical.u16string()));
  EXPECT_NE(Bytes(log_).find(ToUtf8(u"Destination: " + canonical.u16string() + u"\\")), std::string::npos)
      << Bytes(log_);
}

// Unattended runs after an earlier install, as a package manager's upgrade runs them: without
// /D= the earlier install's folder is found through its shortcut (which needs COM) — the
// all-users Start menu entry or desktop shortcut, or the user's desktop shortcut that earlier
// versions made — and a shortcut whose folder is gone proposes the usual folder, without any
// window.
struct EarlierInstall {
  const char* name;
  bool earlierInstall;
  bool earlierFolderDeleted;
  bool secondGetsDestination;  // /D= the second folder
  enum { Earlier, Second, Default } expected;
  // The earlier install's shortcuts that are left when the second run starts.
  enum { Both, StartMenuOnly, DesktopOnly, UsersDesktopOnly } shortcutsLeft = Both;
};

class SilentAfterEarlier : public Faults, public testing::WithParamInterface<EarlierInstall> {
 protected:
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(DefaultFolder(), ignored);
    Faults::TearDown();
  }
  static fs::path DefaultFolder() {
    wchar_t programFiles[MAX_PATH] = {};
    GetEnvironmentVariableW(L"PROGRAMFILES", programFiles, MAX_PATH);
    return fs::path(programFiles) / L"Velmora Soft" / L"Glyphor";
  }
};

TEST_P(SilentAfterEarlier, InstallsWhereExpected) {
  const ComApartment apartment;  // for the shortcut of an earlier version
  const EarlierInstall& row = GetParam();
  const fs::path earlier = root_.Path() / L"Earlier Glyphor";
  const fs::path second = root_.Path() / L"Second Glyphor";
  std::error_code ignored;
  fs::remove_all(DefaultFolder(), ignored);
  if (row.earlierInstall) {
    ASSERT_EQ(RunSetup(kSetup, L"/S /D=" + earlier.wstring()), std::optional<DWORD>(kInstalled));
    ASSERT_TRUE(fs::exists(fs::path(W(DesktopLink()))));
    ASSERT_TRUE(fs::exists(fs::path(W(StartMenuLink()))));
    if (row.shortcutsLeft == EarlierInstall::DesktopOnly || row.shortcutsLeft == EarlierInstall::UsersDesktopOnly)
      fs::remove(fs::path(W(StartMenuLink())));
    if (row.shortcutsLeft == EarlierInstall::StartMenuOnly || row.shortcutsLeft == EarlierInstall::UsersDesktopOnly)
      fs::remove(fs::path(W(DesktopLink())));
    if (row.shortcutsLeft == EarlierInstall::UsersDesktopOnly) {
      CreateShortcut((earlier / L"Glyphor.exe").u16string(), u"", DisplayName(), spDesktop, u"");
      ASSERT_TRUE(fs::exists(fs::path(W(UsersDesktopLink()))));
    }
  }
  if (row.earlierFolderDeleted) fs::remove_all(earlier);

  std::wstring arguments = L"/S" + LogArgument();
  if (row.secondGetsDestination) arguments += L" /D=" + second.wstring();
  // A window asking about the shortcut would hold the run until the limit.
  EXPECT_EQ(RunSetup(kSetup, arguments, 60000), std::optional<DWORD>(kInstalled)) << Bytes(log_);
  const fs::path expected = row.expected == EarlierInstall::Earlier  ? earlier
                            : row.expected == EarlierInstall::Second ? second
                                                                     : DefaultFolder();
  EXPECT_EQ(Bytes(expected / "Glyphor.exe"), Bytes(kStagedTree / "Glyphor.exe")) << expected.string();
  EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_LOCAL_MACHINE, ProductKey(), u"InstallLocation")),
            ToUtf8(expected.u16string()));
  for (const fs::path& other : {earlier, second, DefaultFolder()}) {
    if (other != expected && !(row.earlierInstall && !row.earlierFolderDeleted && other == earlier)) {
      EXPECT_FALSE(fs::exists(other)) << other.string();
    }
  }
  EXPECT_EQ(Bytes(log_).find("OLE error"), std::string::npos) << Bytes(log_);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SilentAfterEarlier,
    testing::Values(EarlierInstall{"NoneBefore", false, false, false, EarlierInstall::Default},
                    EarlierInstall{"FoundByShortcut", true, false, false, EarlierInstall::Earlier},
                    EarlierInstall{"FoundByStartMenuEntry", true, false, false, EarlierInstall::Earlier,
                                   EarlierInstall::StartMenuOnly},
                    EarlierInstall{"FoundByAllUsersDesktopShortcut", true, false, false, EarlierInstall::Earlier,
                                   EarlierInstall::DesktopOnly},
                    EarlierInstall{"FoundByEarlierVersionsDesktopShortcut", true, false, false, EarlierInstall::Earlier,
                                   EarlierInstall::UsersDesktopOnly},
                    EarlierInstall{"ExplicitFolderWins", true, false, true, EarlierInstall::Second},
                    EarlierInstall{"ShortcutToDeletedFolder", true, true, false, EarlierInstall::Default}),
    [](const auto& item) { return std::string(item.param.name); });

// While the failure message shows, the install is over: closing the window asks nothing more
// (there is nothing left to cancel) and ends the wizard once the message is answered.
TEST_F(Faults, ClosingDuringTheFailureMessageAsksNothing) {
  BlockWithFolder(destination_ / "Glyphor.exe");
  before_ = Take(destination_);
  Wizard wizard(kSetup);
  const auto c = StartWizardInstall(wizard, destination_);
  ASSERT_NE(c, nullptr) << "the wizard did not reach Install";
  const HWND box = WaitForClass(wizard.Program().Id(), L"#32770", 60000);
  ASSERT_NE(box, nullptr) << "no failure message";
  PostMessageW(c->form, WM_CLOSE, 0, 0);
  Sleep(1000);
  // Still the one message: no question about cancelling came over it.
  EXPECT_TRUE(IsWindow(box));
  int dialogs = 0;
  EnumThreadWindows(
      GetWindowThreadProcessId(c->form, nullptr),
      [](HWND w, LPARAM count) {
        wchar_t name[16] = {};
        GetClassNameW(w, name, 16);
        if (std::wstring(name) == L"#32770" && IsWindowVisible(w)) ++*reinterpret_cast<int*>(count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialogs));
  EXPECT_EQ(dialogs, 1);
  EXPECT_NE(ReadMessageBox(box).text, W(InstallTexts(ChineseRun() ? 0 : 2).cancelQuestion));
  Click(GetDlgItem(box, IDOK));
  EXPECT_TRUE(wizard.Program().Wait(15000).has_value()) << "the wizard did not end";
  ExpectAsBefore();
}

// Another install or removal of this product holds its lock (here the test): Setup waits a
// moment, then ends with 1618 (unattended: nothing but the log; the wizard: a message in its
// language first), and nothing is touched. Once the lock is free the install goes through.
TEST_F(Faults, AnotherInstallOfTheProductIsAskedToRetryLater) {
  const HANDLE lock = CreateMutexW(nullptr, FALSE, L"Global\\SetupToolkit.Install.Glyphor");
  ASSERT_NE(lock, nullptr);
  // Taken for certain: a program of an earlier row may still be letting go of it.
  ASSERT_EQ(WaitForSingleObject(lock, 15000), WAIT_OBJECT_0);
  EXPECT_EQ(RunSetup(kSetup, L"/S" + LogArgument() + DestinationArgument()), std::optional<DWORD>(kAnotherRunning));
  ExpectAsBefore();
  EXPECT_NE(Bytes(log_).find("another install or removal of this product is running"), std::string::npos);

  Process wizard(kSetup);
  const HWND box = WaitForClass(wizard.Id(), L"#32770", 15000);
  ASSERT_NE(box, nullptr) << "no message";
  EXPECT_EQ(ReadMessageBox(box).text, ChineseRun() ? L"本产品的另一个安装或卸载正在进行。\n\n请等它结束后再试。"
                                                   : L"Another installation or removal of this product is running.\n\n"
                                                     L"Wait until it has finished, then try again.");
  Click(GetDlgItem(box, IDOK));
  EXPECT_EQ(wizard.Wait(15000), std::optional<DWORD>(kAnotherRunning));
  ExpectAsBefore();

  ReleaseMutex(lock);
  CloseHandle(lock);
  EXPECT_EQ(RunSetup(kSetup, L"/S" + DestinationArgument()), std::optional<DWORD>(kInstalled));
}

TEST_F(Faults, UsageShowsInAMessageBox) {
  Process setup(kSetup, L"/?");
  const HWND box = WaitForClass(setup.Id(), L"#32770");
  ASSERT_NE(box, nullptr) << "no usage";
  EXPECT_EQ(ReadMessageBox(box).text, W(InstallTexts(ChineseRun() ? 0 : 2).usage));
  Click(GetDlgItem(box, IDOK));
  EXPECT_EQ(setup.Wait(15000), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace setup::e2e
