// The install sequence behind the Install press: the destination folder, the embedded package
// written out and extracted with a progress bar, the shortcuts and the Uninstall registration.
#include <windows.h>

#include "app/Global.h"
#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "package/Extract.h"
#include "shell/InfoMessage.h"
#include "shell/Registry.h"
#include "shell/Shortcuts.h"
#include "wizard/DestinationRules.h"
#include "wizard/SetupForm.h"
#include "wizard/gui/Application.h"
#include "wizard/gui/MessageDialog.h"
#include "wizard/gui/Resources.h"

namespace setup {

namespace {

constexpr wchar_t kPackageResourceType[] = L"StpFile";
constexpr wchar_t kPackageResourceName[] = L"SetupPackage";
constexpr char16_t kUninstallRoot[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// Lets the extraction's last writes settle before the package file is deleted.
constexpr DWORD kPauseBeforeDeleteMs = 50;

struct PublisherInfo {
  const char16_t* name;
  const char16_t* webPage;
};
constexpr PublisherInfo kChinesePublisher{u"澜川软件工作室", u"https://www.example.com/zh-cn/"};
constexpr PublisherInfo kEnglishPublisher{u"Velmora Software", u"https://www.example.com/"};

bool FolderExistsOrCreated(const std::u16string& folder) {
  if (DirectoryExists(folder)) return true;
  try {
    return ForceDirectories(folder);
  } catch (const Exception&) {
    return false;
  }
}

// The package resource, written whole; an existing file is emptied and overwritten.
void WritePackageFile(const std::u16string& fileName) {
  const auto bytes = gui::ResourceBytes(kPackageResourceType, kPackageResourceName);
  if (bytes.empty()) throw Exception(u"Resource SetupPackage not found");
  FileStream file(fileName, FileStream::Mode::Create);
  file.WriteBuffer(bytes.data(), bytes.size());
}

}  // namespace

bool TForm1::RunInstallSequence() {
  SetupDir = NormaliseSetupDir(editSetupDir.Text());
  if (!FolderExistsOrCreated(SetupDir)) {
    gui::ShowMessage(MsgDirCreateFailed);
    return false;
  }
  SetInstallButtonsEnabled(false);
  ProgressBar1.SetVisible(true);
  // Paint the disabled buttons and the bar; no message is handled again until the end.
  gui::Application().ProcessMessages();
  if (!ExtractEmbeddedPackage()) {
    SetInstallButtonsEnabled(true);
    ProgressBar1.SetVisible(false);
    return false;
  }
  CreateShortcutsAndRegister();
  Image1.SetParent(pnlStep4);
  ProgressBar1.SetVisible(false);
  return true;
}

bool TForm1::ExtractEmbeddedPackage() {
  const std::u16string packageFile = SetupDir + u"Setup.stp";
  try {
    WritePackageFile(packageFile);
    ExtractPackage(packageFile, SetupDir, u"", [this](std::int64_t percent) { OnExtractProgress(percent); });
    Sleep(kPauseBeforeDeleteMs);
    (void)RemoveFile(packageFile);  // a package file left behind does no harm
    return true;
  } catch (...) {
    // Whatever failed, the user sees one message and may try again.
    ShowInfoMessage(MsgExtractFailed, u"");
    return false;
  }
}

// Shortcuts and the Uninstall key are a convenience: a failure skips the rest of them silently.
void TForm1::CreateShortcutsAndRegister() {
  const std::u16string program = SetupDir + ProductShortName + u".exe";
  try {
    if (chkSCOnDesktop.Checked()) CreateShortcut(program, u"", ProductDisplayName, spDesktop, u"");
    // Hidden from Windows Vista on, where there is no Quick Launch bar.
    if (chkSCOnQuick.Visible() && chkSCOnQuick.Checked())
      CreateShortcut(program, u"", ProductDisplayName, spQuickLaunch, u"");

    const std::u16string key = kUninstallRoot + ProductDisplayName;
    (void)CreateRegistryKey(HKEY_LOCAL_MACHINE, key);  // true, or it raises
    const PublisherInfo& publisher = Global::LanguageIndex == Global::kChinese ? kChinesePublisher : kEnglishPublisher;
    const std::pair<const char16_t*, std::u16string> values[] = {
        {u"DisplayIcon", program},
        {u"DisplayName", ProductDisplayName},
        {u"DisplayVersion", ProductVersion},
        {u"Publisher", publisher.name},
        {u"URLInfoAbout", publisher.webPage},
        {u"UninstallString", SetupDir + u"Uninst.exe"},
    };
    for (const auto& [name, data] : values) (void)WriteRegistryString(HKEY_LOCAL_MACHINE, key, name, data);
  } catch (...) {
    // Deliberately silent: the product is installed; only its conveniences are missing.
  }
}

void TForm1::SetInstallButtonsEnabled(bool enabled) {
  const std::initializer_list<gui::TWindow*> buttons{&btnNext, &btnPrev, &btnClose, &btnBrowse};
  for (gui::TWindow* button : buttons) button->SetEnabled(enabled);
}

}  // namespace setup
