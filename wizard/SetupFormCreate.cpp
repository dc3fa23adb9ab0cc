// The form's creation: configuration, images, texts and layout of the chosen language, window
// size, options and the proposed destination folder.
#include <windows.h>

#include "base/Convert.h"
#include "base/Text.h"
#include "config/Global.h"
#include "config/Language.h"
#include "gui/Application.h"
#include "gui/Resources.h"
#include "install/InstallEngine.h"
#include "install/ProposedDestination.h"
#include "install/SystemFacts.h"
#include "shell/Drives.h"
#include "shell/Shortcuts.h"
#include "wizard/Agreement.h"
#include "wizard/SetupForm.h"

namespace setup {

namespace {

constexpr char16_t kChineseFace[] = u"宋体";
const gui::TFontSpec kChineseFont9{kChineseFace, -12, false, ANSI_CHARSET};

bool IsChinese() { return Global::LanguageIndex == Global::kChinese; }

// The product's own licence text for the interface language (resource License0 or License2,
// UTF-8), line by line; empty when the product keeps the built-in agreement.
std::vector<std::u16string> ProductLicense() {
  const std::u16string name = u"License" + IntToText(Global::LanguageIndex);
  const auto bytes = gui::ResourceBytes(RT_RCDATA, WidePtr(name));
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::u16string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(FromUtf8(line));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

// The same font in another face, size and style kept.
gui::TFontSpec InChineseFace(gui::TFontSpec font) {
  font.name = kChineseFace;
  return font;
}

}  // namespace

void TForm1::FormCreate() {
  ReadConfiguration();
  LoadImages();
  ApplyLanguage();
  gui::Application().SetTitle(Text());
  btnPrev.SetText(CaptionBack);
  btnNext.SetText(CaptionNext);
  btnClose.SetText(CaptionCancel);
  const bool vistaOrLater = WindowsMajorVersion() >= 6;
  SetOuterSize(kFormWidth, vistaOrLater ? kFormHeight : kFormHeightBeforeVista);
  for (gui::TPanel* page : {&pnlStep2, &pnlStep3, &pnlStep4}) page->SetAlign(gui::TAlign::Top);
  PageIndex = 1;
  ProgressBar1.SetPosition(0);
  // There is no Quick Launch bar from Windows Vista on.
  chkSCOnQuick.SetVisible(!vistaOrLater);
  // Before the proposal: setting the folder text runs the destination test, which needs them.
  FixedDriveLetters = GetFixedDriveLetters();
  ProposeDestination();
}

void TForm1::ReadConfiguration() {
  ProductShortName = Global::LoadConfigString(Global::idProductShortName);
  if (ForcesEnglish(ProductShortName)) Global::LanguageIndex = Global::kEnglish;
  ProductVersion = Global::LoadConfigString(Global::idProductVersion);
  RequiredSpaceText = Global::LoadConfigString(Global::idRequiredSpaceText);
  IsFreeware = TextToBool(Global::LoadConfigString(Global::idIsFreeware));
}

void TForm1::LoadImages() {
  const std::u16string sideImage = u"ImageLeft" + IntToText(Global::LanguageIndex);
  const auto jpeg = gui::ResourceBytes(RT_RCDATA, WidePtr(sideImage));
  if (jpeg.empty()) throw gui::EInvalidGraphic(u"Resource " + sideImage + u" not found");
  Image1.SetPicture(gui::TPicture::FromJpeg(jpeg));
  Image2.SetPicture(gui::TPicture::FromBitmapResource(L"ImageIcon"));
  Image3.SetPicture(Image2.Picture().Copy());
}

void TForm1::ApplyLanguage() {
  if (IsChinese()) {
    ProductDisplayName = Global::LoadConfigString(Global::idProductDisplayNameCn);
    ApplyTexts(ChineseTexts({ProductDisplayName, ProductVersion, RequiredSpaceText}));
    ApplyChineseLayout();
    const auto license = ProductLicense();
    Memo2.SetLines(license.empty() ? ChineseAgreement(ProductDisplayName, IsFreeware) : license);
  } else {
    ProductDisplayName = Global::LoadConfigString(Global::idProductDisplayNameEn);
    ApplyTexts(EnglishTexts({ProductDisplayName, ProductVersion, RequiredSpaceText}));
    ApplyEnglishLayout();
    const auto license = ProductLicense();
    Memo2.SetLines(license.empty() ? EnglishAgreement(ProductDisplayName, IsFreeware) : license);
  }
}

void TForm1::ApplyTexts(const TWizardTexts& texts) {
  CaptionBack = texts.captionBack;
  CaptionNext = texts.captionNext;
  CaptionCancel = texts.captionCancel;
  CaptionAgree = texts.captionAgree;
  CaptionFinish = texts.captionFinish;
  CaptionInstall = texts.captionInstall;
  MsgDirCreateFailed = texts.msgDirCreateFailed;
  MsgExtractFailed = texts.msgExtractFailed;
  BrowsePrompt = texts.browsePrompt;
  FreeSpacePrefix = texts.freeSpacePrefix;

  SetText(texts.formCaption);
  lblWelcome.SetText(texts.welcome);
  lblWillInstall.SetText(texts.willInstall);
  lblSetupFolder.SetText(texts.setupFolder);
  lblNeedSize.SetText(texts.needSize);
  lblComplete.SetText(texts.complete);
  lblRestart.SetText(texts.restartNote);

  const std::pair<gui::TWindow*, const std::optional<std::u16string>*> replaced[] = {
      {&lblLicense, &texts.license}, {&lblLicenseTip, &texts.licenseTip},   {&lblAgreement, &texts.agreement},
      {&lblFolder, &texts.folder},   {&lblFolderTip, &texts.folderTip},     {&gbFolder, &texts.folderGroup},
      {&btnBrowse, &texts.browse},   {&chkSCOnDesktop, &texts.desktopIcon}, {&chkSCOnQuick, &texts.quickLaunchIcon},
      {&lblClose, &texts.closeNote}, {&chkRunOnExit, &texts.launch},
  };
  for (const auto& [control, text] : replaced)
    if (*text) control->SetText(**text);
}

void TForm1::ApplyEnglishLayout() {
  lblFolder.SetPosition(lblFolder.DesignBounds().left, 9);
  lblLicense.SetPosition(lblLicense.DesignBounds().left, 9);
  lblFolderTip.SetVisible(true);
  lblLicenseTip.SetVisible(true);
  lblClose.SetVisible(true);
  chkRunOnExit.SetPosition(186, 170);
}

void TForm1::ApplyChineseLayout() {
  lblWelcome.SetFont(InChineseFace(lblWelcome.Font()));
  lblComplete.SetFont(InChineseFace(lblComplete.Font()));
  lblWillInstall.SetFont(kChineseFont9);
  lblSetupFolder.SetFont(kChineseFont9);
  lblWelcome.SetPosition(193, 40);
  lblWillInstall.SetPosition(193, 116);
  lblComplete.SetPosition(203, 28);
  lblRestart.SetFont(kChineseFont9);
  lblRestart.SetPosition(207, 140);
}

void TForm1::ProposeDestination() {
  editSetupDir.SetText(
      ProposedDestination(ThisProductIdentity(), ThisProductScope(), ProductDisplayName, ProductShortName));
}

}  // namespace setup
