// Walks the wizard for scripts/demo and asks the script for a screenshot at each step: it writes
// "<name>.ready" into the hand-shake folder and waits for the script's "<name>.done".
//
//   demo-driver pages    <Setup.exe> <hand-shake folder> [<dpi>]
//   demo-driver progress <GallerySetup.exe> <destination> <hand-shake folder>
//   demo-driver clean-gallery <destination> <display name>
//   demo-driver shortcut <shortcut name>
//   demo-driver uninstall-values <display name>
#include <windows.h>
// tlhelp32.h needs windows.h first.
#include <tlhelp32.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "shell/ComApartment.h"
#include "shell/Registry.h"
#include "shell/ShellFolders.h"
#include "shell/Shortcuts.h"
#include "tests/e2e/support/Driver.h"
#include "tests/wizard/WizardWindowSupport.h"

namespace setup::e2e::demo {
namespace {

namespace fs = std::filesystem;
using wizard::ChildAt;
using wizard::Containers;
using wizard::DirectChildren;
using wizard::FindContainers;
using wizard::OwnVisible;

constexpr DWORD kStepTimeoutMs = 60000;
constexpr wchar_t kProductClass[] = L"VelmoraGlyphorMainWindow";
constexpr wchar_t kUninstallRoot[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A failed step ends the demo with a message; the script reports the exit code.
[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "demo-driver: %s\n", what.c_str());
  std::fflush(stderr);
  ExitProcess(1);
}

void Require(bool condition, const std::string& what) {
  if (!condition) Fail(what);
}

class HandShake {
 public:
  explicit HandShake(fs::path folder) : folder_(std::move(folder)) {}
  // Asks for a screenshot named `name` and returns once it has been taken.
  void Screenshot(const std::string& name) const {
    const fs::path ready = folder_ / (name + ".ready");
    const fs::path done = folder_ / (name + ".done");
    std::ofstream(ready) << name << '\n';
    Require(WaitUntil([&] { return fs::exists(done); }, kStepTimeoutMs), "no screenshot for " + name);
    std::error_code ignored;
    fs::remove(done, ignored);
  }

 private:
  fs::path folder_;
};

struct Controls {
  // The wizard lays its design out scaled by dpi / 96.
  Controls(HWND wizardForm, int dpi) : form(wizardForm), pages(FindContainers(wizardForm)) {
    auto at = [dpi](int designed) { return MulDiv(designed, dpi, 96); };
    btnNext = ChildAt(form, L"Button", at(330), at(323));
    edit = ChildAt(pages.gbFolder, L"Edit", at(17), at(24));
    freeSize = ChildAt(pages.pnlStep3, L"Static", at(41), at(247));
    for (HWND child : DirectChildren(pages.pnlStep4))
      if (ClassName(child) == L"Button") runOnExit = child;
    Require(btnNext && edit && freeSize && runOnExit, "a control of the wizard was not found");
  }
  HWND Page(int page) const {
    const HWND panels[] = {pages.pnlStep1, pages.pnlStep2, pages.pnlStep3, pages.pnlStep4};
    return panels[page - 1];
  }
  void WaitForPage(int page) const {
    Require(WaitUntil([&] { return OwnVisible(Page(page)) && Enabled(btnNext); }, kStepTimeoutMs),
            "page " + std::to_string(page) + " did not show");
  }
  void Next(int expectedPage) const {
    Click(btnNext);
    WaitForPage(expectedPage);
  }
  HWND form;
  Containers pages;
  HWND btnNext = nullptr;
  HWND edit = nullptr;
  HWND freeSize = nullptr;
  HWND runOnExit = nullptr;
};

HWND WaitForWizard(const Process& setup) {
  HWND form = WaitForClass(setup.Id(), L"TForm1", kStepTimeoutMs);
  Require(form != nullptr, "the wizard window did not appear");
  return form;
}

// The four pages at 96 DPI, then Finish launches the product; at another DPI (the screen's
// LogPixels set while the wizard starts) the same install again, with "-<dpi>dpi" after each
// picture's name, and Finish without the launch.
int Pages(const std::wstring& setupExe, const fs::path& handShake, int dpi) {
  const HandShake shots(handShake);
  std::string suffix;  // appended piece by piece: GCC 12 warns wrongly about "-" + text
  if (dpi != 96) {
    suffix = "-";
    suffix += std::to_string(dpi);
    suffix += "dpi";
  }
  std::optional<wizard::LogPixelsOverride> screen;
  if (dpi != 96) screen.emplace(static_cast<DWORD>(dpi));
  Process setup(setupExe);
  const Controls c(WaitForWizard(setup), dpi);
  screen.reset();  // read when the wizard started
  c.WaitForPage(1);
  shots.Screenshot("1-welcome" + suffix);
  c.Next(2);
  shots.Screenshot("2-agreement" + suffix);
  c.Next(3);
  Require(WaitUntil([&] { return OwnVisible(c.freeSize); }, kStepTimeoutMs), "the free space did not show");
  std::printf("destination: %s\n", ToUtf8(FromWide(Text(c.edit).c_str())).c_str());
  shots.Screenshot("3-destination" + suffix);
  c.Next(4);
  shots.Screenshot("4-finish" + suffix);
  Require(wizard::Checked(c.runOnExit), "\"Launch\" is not checked");
  if (dpi != 96) {
    Click(c.runOnExit);
    Require(WaitUntil([&] { return !wizard::Checked(c.runOnExit); }, kStepTimeoutMs), "\"Launch\" stayed checked");
    Click(c.btnNext);
    Require(setup.Wait(kStepTimeoutMs).has_value(), "the wizard did not end on Finish");
    return 0;
  }
  Click(c.btnNext);
  Require(setup.Wait(kStepTimeoutMs).has_value(), "the wizard did not end on Finish");
  HWND product = nullptr;
  Require(WaitUntil([&] { return (product = FindWindowW(kProductClass, nullptr)) != nullptr; }, kStepTimeoutMs),
          "the product did not start");
  shots.Screenshot("5-launched");
  Close(product);
  WaitUntil([] { return FindWindowW(kProductClass, nullptr) == nullptr; }, kStepTimeoutMs);
  return 0;
}

struct HandleClose {
  void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleClose>;

// Holds every thread of a process still while the object lives, so that the screen shows one
// moment of its work.
class FrozenProcess {
 public:
  explicit FrozenProcess(DWORD processId) {
    const OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    Require(snapshot.get() != INVALID_HANDLE_VALUE, "no thread snapshot");
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
      if (entry.th32OwnerProcessID != processId) continue;
      OwnedHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
      if (thread && SuspendThread(thread.get()) != static_cast<DWORD>(-1)) threads_.push_back(std::move(thread));
    }
  }
  ~FrozenProcess() {
    for (const OwnedHandle& thread : threads_) ResumeThread(thread.get());
  }
  FrozenProcess(const FrozenProcess&) = delete;
  FrozenProcess& operator=(const FrozenProcess&) = delete;

 private:
  std::vector<OwnedHandle> threads_;
};

// Installs the gallery into `destination` and has the script photograph the progress bar half-way;
// afterwards removes what the gallery left behind.
int Progress(const std::wstring& setupExe, const fs::path& destination, const fs::path& handShake) {
  const HandShake shots(handShake);
  Process setup(setupExe);
  const Controls c(WaitForWizard(setup), 96);
  c.WaitForPage(1);
  c.Next(2);
  c.Next(3);
  const std::wstring folder = destination.wstring();
  SendMessageW(c.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  Require(WaitUntil([&] { return OwnVisible(c.freeSize) && Enabled(c.btnNext); }, kStepTimeoutMs),
          "the gallery's destination was not accepted");
  Click(c.btnNext);
  // The second plate in place: a quarter done, the bar reports it.
  const fs::path secondPlate = destination / "Gallery" / "plate-2.raw";
  Require(WaitUntil([&] { return fs::exists(secondPlate); }, kStepTimeoutMs), "the extraction did not start");
  {
    const FrozenProcess frozen(setup.Id());
    std::printf("progress: held still with at least two plates written\n");
    shots.Screenshot("progress");
  }
  c.WaitForPage(4);
  Click(c.runOnExit);
  WaitUntil([&] { return !wizard::Checked(c.runOnExit); }, kStepTimeoutMs);
  Click(c.btnNext);
  Require(setup.Wait(kStepTimeoutMs).has_value(), "the gallery wizard did not end");
  return 0;
}

// Removes the gallery's install folder, shortcuts and Uninstall key.
int CleanGallery(const fs::path& destination, const std::wstring& displayName) {
  const ComApartment apartment;
  std::error_code ignored;
  fs::remove_all(destination, ignored);
  for (CommonPlace place : {CommonPlace::Desktop, CommonPlace::Programs})
    fs::remove(fs::path(GetCommonFolder(place)) / (displayName + L".lnk"), ignored);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kUninstallRoot) + displayName).c_str());
  return 0;
}

// The values the install writes, in their order; exit code 1 when the key is not there.
int PrintUninstallValues(const std::wstring& displayName) {
  const std::wstring key = std::wstring(kUninstallRoot) + displayName;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    std::printf("no key HKLM\\%s\n", ToUtf8(FromWide(key.c_str())).c_str());
    return 1;
  }
  RegCloseKey(opened);
  std::printf("HKLM\\%s\n", ToUtf8(FromWide(key.c_str())).c_str());
  for (const char16_t* name : {u"DisplayIcon", u"DisplayName", u"DisplayVersion", u"Publisher", u"URLInfoAbout",
                               u"UninstallString", u"InstallLocation", u"QuietUninstallString"}) {
    const std::u16string data = ReadRegistryString(HKEY_LOCAL_MACHINE, FromWide(key.c_str()), name);
    std::printf("  %-20s %s\n", ToUtf8(name).c_str(), ToUtf8(data).c_str());
  }
  for (const wchar_t* name : {L"EstimatedSize", L"NoModify", L"NoRepair"}) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS)
      std::printf("  %-20s %lu\n", ToUtf8(FromWide(name)).c_str(), static_cast<unsigned long>(value));
  }
  return 0;
}

// The machine-wide shortcuts: the all-users desktop and Start menu entry, and what they start.
int PrintShortcut(const std::wstring& name) {
  const ComApartment apartment;
  int missing = 0;
  for (CommonPlace place : {CommonPlace::Desktop, CommonPlace::Programs}) {
    const std::u16string link = GetCommonFolder(place) + u"\\" + FromWide(name.c_str()) + u".lnk";
    if (!fs::exists(fs::path(link))) {
      std::printf("no shortcut %s\n", ToUtf8(link).c_str());
      missing = 1;
      continue;
    }
    std::printf("%s\n  -> %s\n", ToUtf8(link).c_str(), ToUtf8(ResolveShortcut(link)).c_str());
  }
  return missing;
}

}  // namespace
}  // namespace setup::e2e::demo

int wmain(int argc, wchar_t** argv) {
  using namespace setup::e2e::demo;
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == L"pages") return Pages(args[1], args[2], 96);
  if (args.size() == 4 && args[0] == L"pages") return Pages(args[1], args[2], _wtoi(args[3].c_str()));
  if (args.size() == 4 && args[0] == L"progress") return Progress(args[1], args[2], args[3]);
  if (args.size() == 3 && args[0] == L"clean-gallery") return CleanGallery(args[1], args[2]);
  if (args.size() == 2 && args[0] == L"shortcut") return PrintShortcut(args[1]);
  if (args.size() == 2 && args[0] == L"uninstall-values") return PrintUninstallValues(args[1]);
  std::fprintf(stderr, "usage: demo-driver pages|progress|clean-gallery|shortcut ...\n");
  return 2;
}
