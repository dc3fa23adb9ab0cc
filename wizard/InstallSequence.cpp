// The install sequence behind the Install press: the destination folder, the embedded package
// extracted on a worker thread with a progress bar that follows the bytes, the shortcuts and the
// Uninstall registration. Cancel stays usable and rolls everything back.
#include <windows.h>

#include "base/Errors.h"
#include "base/Text.h"
#include "config/Global.h"
#include "gui/MessageDialog.h"
#include "install/DestinationRules.h"
#include "install/InstallEngine.h"
#include "shell/ApplicationTitle.h"
#include "shell/ByteSize.h"
#include "shell/InfoMessage.h"
#include "wizard/InstallTexts.h"
#include "wizard/SetupForm.h"

namespace setup {

namespace {

// Posted by the worker: the percentage in wParam; then its end, wParam 1 when the files are in.
constexpr UINT kInstallProgressMessage = WM_APP + 1;
constexpr UINT kInstallDoneMessage = WM_APP + 2;

}  // namespace

TForm1::~TForm1() {
  if (install_) install_->RequestCancel();
  worker_.Join();
}

void TForm1::RunInstallSequence() {
  SetupDir = NormaliseSetupDir(editSetupDir.Text());
  InstallChoices choices;
  choices.setupDir = SetupDir;
  choices.desktopShortcut = chkSCOnDesktop.Checked();
  // Hidden from Windows Vista on, where there is no Quick Launch bar.
  choices.quickLaunchShortcut = chkSCOnQuick.Visible() && chkSCOnQuick.Checked();
  choices.languageIndex = Global::LanguageIndex;
  choices.displayName = ProductDisplayName;
  choices.shortName = ProductShortName;
  choices.version = ProductVersion;
  choices.identity = ThisProductIdentity();
  choices.scope = ThisProductScope();
  // An older version over a newer one only when the user says so; No leaves everything as it was.
  if (const auto earlier = FindEarlierInstall(choices.identity, choices.scope);
      earlier && DecideInstallKind(earlier->version, choices.version) == InstallKind::Downgrade) {
    const TInstallTexts texts = InstallTexts(Global::LanguageIndex);
    if (MessageBoxW(Handle(), WidePtr(DowngradeQuestionText(texts, earlier->version, choices.version)),
                    WidePtr(ApplicationTitle()), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
      SetupLog().Line(u"Downgrade from " + earlier->version + u" to " + choices.version + u": answered No");
      return;
    }
    choices.allowDowngrade = true;
  }

  std::unique_ptr<InstallRun> run;
  try {
    run = std::make_unique<InstallRun>(choices, EmbeddedPackage(), SetupLog());
  } catch (const Exception&) {
    ShowInfoMessage(MsgExtractFailed, u"");
    return;
  }
  if (!run->Prepare()) {
    const InstallFailure& failure = run->Failure();
    if (failure.outcome == InstallOutcome::TooLittleSpace)
      ShowInfoMessage(NotEnoughSpaceText(InstallTexts(Global::LanguageIndex), FormatByteSize(failure.missingBytes)),
                      u"");
    else if (failure.outcome == InstallOutcome::UnusableDestination)
      gui::ShowMessage(MsgDirCreateFailed);
    else
      ShowInfoMessage(MsgExtractFailed, u"");
    return;  // still on page 3, nothing changed
  }

  // The folder the install will use, as the system reaches it: the one Finish starts from.
  SetupDir = run->Choices().setupDir;
  SetInstallControlsEnabled(false);
  btnClose.SetEnabled(true);
  ProgressBar1.SetPosition(0);
  ProgressBar1.SetVisible(true);
  cancelRequested_ = false;
  const HWND form = Handle();
  InstallRun* const work = run.get();
  try {
    worker_ = Thread([form, work] {
      const bool extracted = work->Extract([form](std::int64_t percent) {
        PostMessageW(form, kInstallProgressMessage, static_cast<WPARAM>(percent), 0);
      });
      PostMessageW(form, kInstallDoneMessage, extracted ? 1 : 0, 0);
    });
  } catch (const Exception& error) {
    // Nothing was written: the folders Prepare made go, and the page stays usable for a retry.
    run->Abandon();
    SetupLog().Line(u"Failed: " + error.Message());
    ProgressBar1.SetVisible(false);
    SetInstallControlsEnabled(true);
    ShowInfoMessage(MsgExtractFailed + u"\n\n" + error.Message(), u"");
    return;
  }
  install_ = std::move(run);
}

void TForm1::OnInstallDone(bool extracted) {
  worker_.Join();
  if (asking_) {
    // Settled once the question has its answer.
    doneWhileAsking_ = true;
    extractedWhileAsking_ = extracted;
    return;
  }
  // A Yes that came after the last file undoes the install all the same (the engine's rule).
  const bool installed = extracted && install_->Finish();
  // The install is over before anything is shown: nothing is left to cancel.
  const std::unique_ptr<InstallRun> run = std::move(install_);
  if (!installed) {
    if (cancelRequested_ || run->Failure().outcome == InstallOutcome::Cancelled) {
      Close();
      return;
    }
    btnClose.SetEnabled(false);
    ShowInstallFailure(run->Failure());
    SetInstallControlsEnabled(true);
    ProgressBar1.SetVisible(false);
    return;
  }
  installed_ = true;
  restartNeeded_ = run->RestartNeeded();
  lblRestart.SetVisible(restartNeeded_);
  Image1.SetParent(pnlStep4);
  ProgressBar1.SetVisible(false);
  ++PageIndex;
  UpdateNextCaption();
}

int TForm1::ExitCode() const noexcept {
  if (installed_) return static_cast<int>(restartNeeded_ ? InstallOutcome::RestartNeeded : InstallOutcome::Installed);
  return static_cast<int>(creationFailed_ ? InstallOutcome::DamagedPackage : InstallOutcome::Cancelled);
}

void TForm1::AskToCancelInstall() {
  if (asking_ || cancelRequested_) return;
  asking_ = true;
  const TInstallTexts texts = InstallTexts(Global::LanguageIndex);
  const bool yes = MessageBoxW(Handle(), WidePtr(texts.cancelQuestion), WidePtr(ApplicationTitle()),
                               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
  asking_ = false;
  if (yes) {
    cancelRequested_ = true;
    btnClose.SetEnabled(false);
    if (install_) install_->RequestCancel();
    SetupLog().Line(u"Cancel requested");
  }
  if (doneWhileAsking_) {
    doneWhileAsking_ = false;
    OnInstallDone(extractedWhileAsking_);
  }
}

// MsgExtractFailed, then which file failed and why.
void TForm1::ShowInstallFailure(const InstallFailure& failure) {
  const TInstallTexts texts = InstallTexts(Global::LanguageIndex);
  std::u16string text = MsgExtractFailed + u"\n\n";
  if (!failure.file.empty()) text += texts.failedFile + u" " + failure.file + u"\n";
  text += failure.outcome == InstallOutcome::DamagedPackage ? texts.reasonDamaged : texts.reasonWrite;
  text += u"\n" + failure.reason;
  ShowInfoMessage(text, u"");
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kInstallProgressMessage:
      OnExtractProgress(static_cast<std::int64_t>(wParam));
      return 0;
    case kInstallDoneMessage:
      if (install_) OnInstallDone(wParam != 0);
      return 0;
    case WM_CLOSE:
      if (Installing()) {
        AskToCancelInstall();
        return 0;
      }
      break;
    default:
      break;
  }
  return TForm::HandleMessage(message, wParam, lParam);
}

// What the install reads when it starts: changed during the install it would be ignored.
void TForm1::SetInstallControlsEnabled(bool enabled) {
  const std::initializer_list<gui::TWindow*> controls{&btnNext,      &btnPrev,        &btnClose,    &btnBrowse,
                                                      &editSetupDir, &chkSCOnDesktop, &chkSCOnQuick};
  for (gui::TWindow* control : controls) control->SetEnabled(enabled);
}

}  // namespace setup
