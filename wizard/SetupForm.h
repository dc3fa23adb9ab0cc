// The setup wizard's main form: four pages above a row of buttons, with the texts of the chosen
// language, the side and header images, the agreement and the proposed destination folder.
//
// The constructor builds the form as designed and then runs FormCreate. The page navigation,
// the destination test and the install sequence are the event handlers declared below.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/Threads.h"
#include "gui/Bevel.h"
#include "gui/Buttons.h"
#include "gui/Edit.h"
#include "gui/Form.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "gui/ProgressBar.h"
#include "wizard/WizardTexts.h"

namespace setup {

class InstallRun;
struct InstallFailure;

class TForm1 final : public gui::TForm {
 public:
  TForm1();
  // Stops an install still under way and waits for its rollback.
  ~TForm1() override;

  // Installation state, owned by the form for the whole run.
  std::u16string ProductDisplayName;
  std::u16string ProductShortName;
  std::u16string ProductVersion;
  std::u16string RequiredSpaceText;
  bool IsFreeware = false;
  std::u16string SetupDir;  // the normalised destination folder, ending in "\"
  std::int32_t PageIndex = 1;
  std::u16string FixedDriveLetters;

  // Texts of the chosen language kept for the navigation and the install sequence.
  std::u16string CaptionBack;
  std::u16string CaptionNext;
  std::u16string CaptionCancel;
  std::u16string CaptionAgree;
  std::u16string CaptionFinish;
  std::u16string CaptionInstall;
  std::u16string MsgDirCreateFailed;
  std::u16string MsgExtractFailed;
  std::u16string BrowsePrompt;
  std::u16string FreeSpacePrefix;

  // Event handlers (SetupNavigation.cpp).
  void ApplicationEvents1Idle();
  void btnNextClick();
  void btnPrevClick();
  void btnCloseClick();
  void btnBrowseClick();
  void editSetupDirChange();
  // Sets the text of btnNext from PageIndex.
  void UpdateNextCaption();
  // Shows the free space of the destination's drive; a visible lblFreeSize enables Install.
  void UpdateFreeSpace();
  // The extraction's progress handler: the bar shows the percentage.
  void OnExtractProgress(std::int64_t percent);

  // The controls, in the order they are created. Each names its parent in its initialiser.
  gui::TBevel Bevel1;
  gui::TPanel pnlStep1;
  gui::TImage Image1;
  gui::TLabel lblWelcome;
  gui::TLabel lblWillInstall;
  gui::TPanel pnlStep2;
  gui::TPanel Panel3;
  gui::TLabel lblLicense;
  gui::TLabel lblLicenseTip;
  gui::TImage Image2;
  gui::TBevel Bevel2;
  gui::TMemo Memo2;
  gui::TLabel lblAgreement;
  gui::TPanel pnlStep3;
  gui::TPanel Panel4;
  gui::TLabel lblFolder;
  gui::TLabel lblFolderTip;
  gui::TImage Image3;
  gui::TBevel Bevel3;
  gui::TLabel lblSetupFolder;
  gui::TGroupBox gbFolder;
  gui::TEdit editSetupDir;
  gui::TButton btnBrowse;
  gui::TLabel lblNeedSize;
  gui::TLabel lblFreeSize;
  gui::TCheckBox chkSCOnDesktop;
  gui::TCheckBox chkSCOnQuick;
  gui::TPanel pnlStep4;
  gui::TLabel lblComplete;
  gui::TLabel lblClose;
  gui::TCheckBox chkRunOnExit;
  gui::TLabel lblRestart;  // shown when files in use are replaced at the next restart
  gui::TButton btnPrev;
  gui::TButton btnNext;
  gui::TButton btnClose;
  gui::TProgressBar ProgressBar1;

 private:
  // Outer size; before Windows Vista the window is lower.
  static constexpr int kFormWidth = 503;
  static constexpr int kFormHeight = 398;
  static constexpr int kFormHeightBeforeVista = 385;

  // The steps of the form's creation (SetupFormCreate.cpp), in their order.
  void FormCreate();
  void ReadConfiguration();
  void LoadImages();
  void ApplyLanguage();
  void ApplyTexts(const TWizardTexts& texts);
  void ApplyEnglishLayout();
  void ApplyChineseLayout();
  void ProposeDestination();

  void BindEvents();
  void SetDesignTabOrder();

  // The install sequence behind the Install press (InstallSequence.cpp). It starts the
  // extraction on a worker thread, which posts its progress and its end to the form; the form
  // keeps answering meanwhile and only Cancel stays usable.
  void RunInstallSequence();
  bool Installing() const noexcept { return install_ != nullptr; }

 public:
  // The program's exit code once the form is gone: 0 when the product was installed (3010 when
  // files in use wait for the restart), 5 when the
  // program's own resources could not make the form (a damaged setup program), else 1602 (the
  // person left the wizard without installing).
  int ExitCode() const noexcept;

 private:
  void OnInstallDone(bool extracted);
  // Cancel or closing the window during the install: asks, and on Yes stops and rolls back.
  void AskToCancelInstall();
  void ShowInstallFailure(const InstallFailure& failure);
  void SetInstallControlsEnabled(bool enabled);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::unique_ptr<InstallRun> install_;
  Thread worker_;
  bool asking_ = false;           // the cancel question is showing
  bool cancelRequested_ = false;  // answered Yes: roll back and end
  bool doneWhileAsking_ = false;  // the worker ended while the question showed
  bool extractedWhileAsking_ = false;
  bool installed_ = false;
  bool restartNeeded_ = false;
  bool creationFailed_ = false;
};

}  // namespace setup
