#include "wizard/SetupForm.h"

#include "gui/Application.h"
#include "gui/ExceptionReport.h"
#include "install/InstallEngine.h"

namespace setup {

namespace {
using gui::TAlign;
using gui::TLabelSizing;

constexpr int kPageHeight = 308;
constexpr int kHeaderHeight = 56;
constexpr int kHeaderImageWidth = 67;

const gui::TFontSpec kFormFont{u"Tahoma", -11, false, ANSI_CHARSET};
const gui::TFontSpec kBold8{u"Tahoma", -11, true, ANSI_CHARSET};
const gui::TFontSpec kBold12{u"Tahoma", -16, true, ANSI_CHARSET};
}  // namespace

// The form as designed: every control with its parent, bounds, font, design text, visibility
// and check state.
TForm1::TForm1()
    : TForm(L"TForm1", {.width = kFormWidth, .height = kFormHeight, .text = u"Setup", .font = kFormFont}),
      Bevel1({.parent = this, .left = -1, .top = kPageHeight, .width = 555, .height = 2}),
      pnlStep1({.parent = this, .width = DesignClientWidth(), .height = kPageHeight, .align = TAlign::Top},
               gui::kColorWhite),
      Image1({.parent = &pnlStep1, .width = 160, .height = kPageHeight, .align = TAlign::Left}),
      lblWelcome({.parent = &pnlStep1, .left = 183, .top = 20, .width = 305, .height = 53, .font = kBold12},
                 TLabelSizing::Fixed),
      lblWillInstall({.parent = &pnlStep1, .left = 184, .top = 96, .width = 304, .height = 148}, TLabelSizing::Fixed),
      pnlStep2({.parent = this, .width = DesignClientWidth(), .height = kPageHeight, .visible = false}),
      Panel3({.parent = &pnlStep2, .width = DesignClientWidth(), .height = kHeaderHeight, .align = TAlign::Top},
             gui::kColorCream),
      lblLicense({.parent = &Panel3, .left = 17, .top = 20, .text = DesignedText::kLicense, .font = kBold8},
                 TLabelSizing::ToText),
      lblLicenseTip({.parent = &Panel3, .left = 36, .top = 28, .visible = false}, TLabelSizing::ToText),
      Image2({.parent = &Panel3, .width = kHeaderImageWidth, .height = kHeaderHeight, .align = TAlign::Right},
             {.center = true, .transparent = true}),
      Bevel2(
          {.parent = &pnlStep2, .top = kHeaderHeight, .width = DesignClientWidth(), .height = 2, .align = TAlign::Top}),
      Memo2({.parent = &pnlStep2, .left = 18, .top = 75, .width = 459, .height = 177}),
      lblAgreement(
          {.parent = &pnlStep2, .left = 23, .top = 267, .width = 437, .height = 32, .text = DesignedText::kAgreement},
          TLabelSizing::Fixed),
      pnlStep3({.parent = this, .width = DesignClientWidth(), .height = kPageHeight, .visible = false}),
      Panel4({.parent = &pnlStep3, .width = DesignClientWidth(), .height = kHeaderHeight, .align = TAlign::Top},
             gui::kColorCream),
      lblFolder({.parent = &Panel4, .left = 17, .top = 20, .text = DesignedText::kFolder, .font = kBold8},
                TLabelSizing::ToText),
      lblFolderTip({.parent = &Panel4, .left = 36, .top = 28, .visible = false}, TLabelSizing::ToText),
      Image3({.parent = &Panel4, .width = kHeaderImageWidth, .height = kHeaderHeight, .align = TAlign::Right},
             {.center = true, .transparent = true}),
      Bevel3(
          {.parent = &pnlStep3, .top = kHeaderHeight, .width = DesignClientWidth(), .height = 2, .align = TAlign::Top}),
      lblSetupFolder({.parent = &pnlStep3, .left = 40, .top = 75, .width = 420, .height = 49}, TLabelSizing::Fixed),
      gbFolder({.parent = &pnlStep3,
                .left = 40,
                .top = 132,
                .width = 419,
                .height = 63,
                .text = DesignedText::kFolderGroup}),
      editSetupDir({.parent = &gbFolder, .left = 17, .top = 24, .width = 305, .height = 21}),
      btnBrowse(
          {.parent = &gbFolder, .left = 325, .top = 24, .width = 77, .height = 21, .text = DesignedText::kBrowse}),
      lblNeedSize({.parent = &pnlStep3, .left = 41, .top = 221}, TLabelSizing::ToText),
      // Shown by the destination test only, with the free space of the destination's drive.
      lblFreeSize({.parent = &pnlStep3, .left = 41, .top = 247, .visible = false}, TLabelSizing::ToText),
      chkSCOnDesktop({.parent = &pnlStep3,
                      .left = 237,
                      .top = 217,
                      .width = 151,
                      .height = 20,
                      .text = DesignedText::kDesktopIcon},
                     true),
      chkSCOnQuick({.parent = &pnlStep3,
                    .left = 237,
                    .top = 243,
                    .width = 184,
                    .height = 20,
                    .text = DesignedText::kQuickLaunchIcon},
                   true),
      pnlStep4({.parent = this, .width = DesignClientWidth(), .height = kPageHeight, .visible = false},
               gui::kColorWhite),
      lblComplete({.parent = &pnlStep4, .left = 183, .top = 20, .width = 305, .height = 53, .font = kBold12},
                  TLabelSizing::Fixed),
      lblClose({.parent = &pnlStep4, .left = 184, .top = 89, .width = 302, .height = 65, .visible = false},
               TLabelSizing::Fixed),
      chkRunOnExit(
          {.parent = &pnlStep4, .left = 207, .top = 111, .width = 203, .height = 14, .text = DesignedText::kLaunch},
          true),
      lblRestart({.parent = &pnlStep4, .left = 184, .top = 200, .width = 302, .height = 40, .visible = false},
                 TLabelSizing::Fixed),
      btnPrev({.parent = this, .left = 253, .top = 323, .width = 77, .height = 22}),
      btnNext({.parent = this, .left = 330, .top = 323, .width = 77, .height = 22}),
      btnClose({.parent = this, .left = 417, .top = 323, .width = 62, .height = 22}),
      ProgressBar1({.parent = this, .left = 35, .top = 328, .width = 185, .height = 12, .visible = false}) {
  ProgressBar1.SetStep(5);
  SetDesignTabOrder();
  BindEvents();
  try {
    FormCreate();
  } catch (...) {
    // A configuration error leaves the form partly set up: its buttons have no texts, so no
    // press of them would mean what it says. The message is shown, and the program ends
    // without ever showing the form.
    gui::ReportCurrentException();
    creationFailed_ = true;
    gui::Application().Terminate();
    return;
  }
  CenterOnDesktop();
  SetFirstFocus(btnNext);
  Show();
}

void TForm1::SetDesignTabOrder() {
  gui::SetTabOrder({&btnNext, &pnlStep1, &pnlStep3, &pnlStep2, &pnlStep4, &btnPrev, &btnClose, &ProgressBar1});
  gui::SetTabOrder({&Panel3, &Memo2});
  gui::SetTabOrder({&Panel4, &gbFolder, &chkSCOnDesktop, &chkSCOnQuick});
  gui::SetTabOrder({&editSetupDir, &btnBrowse});
}

void TForm1::BindEvents() {
  gui::Application().OnIdle = [this] { ApplicationEvents1Idle(); };
  btnNext.OnClick = [this] { btnNextClick(); };
  btnPrev.OnClick = [this] { btnPrevClick(); };
  btnClose.OnClick = [this] { btnCloseClick(); };
  btnBrowse.OnClick = [this] { btnBrowseClick(); };
  editSetupDir.OnChange = [this] { editSetupDirChange(); };
}

}  // namespace setup
