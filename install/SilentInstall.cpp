#include "install/SilentInstall.h"

#include <windows.h>

#include "base/Errors.h"
#include "base/Text.h"
#include "base/Threads.h"
#include "config/Global.h"
#include "config/InstanceGuard.h"
#include "config/Language.h"
#include "install/DestinationRules.h"
#include "install/InstallEngine.h"
#include "install/ProposedDestination.h"
#include "install/SystemFacts.h"
#include "shell/ComApartment.h"
#include "shell/Drives.h"

namespace setup {

namespace {

constexpr wchar_t kWindowClass[] = L"SetupSilentInstall";
constexpr UINT kDoneMessage = WM_APP + 2;

InstallRun* g_run = nullptr;  // the install the hidden window cancels

LRESULT CALLBACK SilentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE || message == WM_QUERYENDSESSION) {
    if (g_run) g_run->RequestCancel();
    SetupLog().Line(u"Cancel requested");
    return message == WM_QUERYENDSESSION ? FALSE : 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A hidden top-level window, so that the install can be asked to stop like any program.
class HiddenWindow {
 public:
  HiddenWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SilentWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    handle_ = CreateWindowExW(0, kWindowClass, L"Setup", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  }
  ~HiddenWindow() {
    if (handle_) DestroyWindow(handle_);
  }
  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;
  HWND Handle() const noexcept { return handle_; }

 private:
  HWND handle_ = nullptr;
};

int Code(InstallOutcome outcome) { return static_cast<int>(outcome); }

int Install(const SetupCommand& command) {
  StepLog& log = SetupLog();
  log.Line(u"Setup: unattended install");
  // Before anything here can use COM: the earlier install's shortcut names the proposed folder.
  const ComApartment apartment;
  const ProductWindowIdentity product{Global::LoadConfigString(Global::idMainWindowClass),
                                      Global::LoadConfigString(Global::idMainWindowTitleEn),
                                      Global::LoadConfigString(Global::idMainWindowTitleCn)};
  if (!FindRunningTitle(product).empty()) {
    log.Line(u"Failed: the product is running");
    return Code(InstallOutcome::ProductRunning);
  }

  InstallChoices choices;
  choices.shortName = Global::LoadConfigString(Global::idProductShortName);
  if (ForcesEnglish(choices.shortName)) Global::LanguageIndex = Global::kEnglish;
  choices.languageIndex = Global::LanguageIndex;
  choices.version = Global::LoadConfigString(Global::idProductVersion);
  choices.displayName = Global::LoadConfigString(
      Global::LanguageIndex == Global::kChinese ? Global::idProductDisplayNameCn : Global::idProductDisplayNameEn);
  choices.identity = ThisProductIdentity();
  choices.scope = ThisProductScope();
  choices.allowDowngrade = command.allowDowngrade;
  // The wizard's defaults: the desktop shortcut, and Quick Launch where the system has it.
  choices.desktopShortcut = true;
  choices.quickLaunchShortcut = WindowsMajorVersion() < 6;

  const std::u16string folder = command.destination ? *command.destination
                                                    : ProposedDestination(choices.identity, choices.scope,
                                                                          choices.displayName, choices.shortName);
  if (!IsOnFixedDrive(folder, GetFixedDriveLetters())) {
    log.Line(u"Failed: the destination is not a folder on a fixed drive: " + folder);
    return Code(InstallOutcome::UnusableDestination);
  }
  choices.setupDir = NormaliseSetupDir(folder);

  std::unique_ptr<InstallRun> run;
  try {
    run = std::make_unique<InstallRun>(choices, EmbeddedPackage(), log);
  } catch (const Exception& error) {
    log.Line(u"Failed: " + error.Message());
    return Code(InstallOutcome::DamagedPackage);
  }
  if (!run->Prepare()) return Code(run->Failure().outcome);

  g_run = run.get();
  // The worker's message needs this thread's queue, which a peek creates.
  MSG message;
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  const DWORD thread = GetCurrentThreadId();
  bool extracted = false;
  Thread worker([&] {
    extracted = run->Extract({});
    PostThreadMessageW(thread, kDoneMessage, 0, 0);
  });
  HiddenWindow window;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kDoneMessage) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  worker.Join();
  g_run = nullptr;
  if (!extracted || !run->Finish()) return Code(run->Failure().outcome);
  return Code(run->RestartNeeded() ? InstallOutcome::RestartNeeded : InstallOutcome::Installed);
}

}  // namespace

int RunSilentInstall(const SetupCommand& command) {
  try {
    return Install(command);
  } catch (const Exception& error) {
    SetupLog().Line(u"Failed: " + error.Message());
  } catch (...) {
    SetupLog().Line(u"Failed");
  }
  return Code(InstallOutcome::WriteFailure);
}

}  // namespace setup
