// The wizard's page navigation, the destination test with the free space, and the folder browse.
#include "install/DestinationRules.h"
#include "install/LaunchProgram.h"
#include "shell/ByteSize.h"
#include "shell/Drives.h"
#include "wizard/BrowseForFolder.h"
#include "wizard/SetupForm.h"

namespace setup {

namespace {
constexpr std::int32_t kAgreementPage = 2;
constexpr std::int32_t kDestinationPage = 3;
constexpr std::int32_t kFinishPage = 4;
}  // namespace

// Runs each time the message queue has run empty, so the controls always follow PageIndex.
void TForm1::ApplicationEvents1Idle() {
  gui::TPanel* const pages[] = {&pnlStep1, &pnlStep2, &pnlStep3, &pnlStep4};
  for (std::int32_t page = 1; page <= kFinishPage; ++page) pages[page - 1]->SetVisible(PageIndex == page);
  btnPrev.SetVisible(PageIndex == kAgreementPage || PageIndex == kDestinationPage);
  btnClose.SetVisible(PageIndex < kFinishPage);
  // On the destination page the visible free space is what makes the folder acceptable.
  btnNext.SetEnabled((PageIndex != kDestinationPage || lblFreeSize.Visible()) && !Installing());
}

// The button's text, which always follows the page, says what the press means.
void TForm1::btnNextClick() {
  const std::u16string caption = btnNext.Text();
  // Only the finish page finishes: a caption alone could match by accident.
  if (PageIndex == kFinishPage && caption == CaptionFinish) {
    if (chkRunOnExit.Checked()) {
      // The launch may wait a few seconds to see the program start: the wizard is done by then.
      SetVisible(false);
      (void)LaunchProgram(SetupDir + ProductShortName + u".exe", u"");
    }
    Close();
    return;
  }
  if (caption == CaptionInstall) {
    // The page advances when the install, which runs on, has completed.
    RunInstallSequence();
    return;
  }
  ++PageIndex;
  UpdateNextCaption();
}

void TForm1::btnPrevClick() {
  --PageIndex;
  UpdateNextCaption();
}

// Closes at once, without confirmation; closing the main form ends the program. During the
// install it asks first, and the install is rolled back before the program ends.
void TForm1::btnCloseClick() {
  if (Installing()) {
    AskToCancelInstall();
    return;
  }
  Close();
}

void TForm1::btnBrowseClick() {
  const std::u16string folder = BrowseForFolder(Handle(), BrowsePrompt);
  if (folder.empty()) return;
  editSetupDir.SetText(folder);
  // A chosen folder is trusted whatever its drive: it shows its free space even off a fixed drive.
  UpdateFreeSpace();
}

void TForm1::editSetupDirChange() {
  if (IsOnFixedDrive(editSetupDir.Text(), FixedDriveLetters))
    UpdateFreeSpace();
  else
    lblFreeSize.SetVisible(false);
}

void TForm1::UpdateNextCaption() {
  switch (PageIndex) {
    case kAgreementPage:
      btnNext.SetText(CaptionAgree);
      break;
    case kDestinationPage:
      btnNext.SetText(CaptionInstall);
      break;
    case kFinishPage:
      btnNext.SetText(CaptionFinish);
      break;
    default:
      btnNext.SetText(CaptionNext);
      break;
  }
}

void TForm1::UpdateFreeSpace() {
  const std::u16string folder = editSetupDir.Text();
  // A lower-case letter names the same drive; an empty text asks for no drive and gets -1.
  const std::int64_t freeBytes = GetDriveFreeSpace(folder.empty() ? u'\0' : folder.front());
  lblFreeSize.SetText(FreeSpacePrefix + FormatByteSize(freeBytes));
  lblFreeSize.SetVisible(true);
}

// The bar shows the low 32 bits of the percentage.
void TForm1::OnExtractProgress(std::int64_t percent) {
  ProgressBar1.SetPosition(static_cast<int>(static_cast<std::int32_t>(percent & 0xFFFFFFFF)));
}

}  // namespace setup
