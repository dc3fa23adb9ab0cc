#include "uninstall/Uninstaller.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/StepLog.h"
#include "base/Text.h"
#include "config/Global.h"
#include "config/InstallLock.h"
#include "config/InstanceGuard.h"
#include "gui/Application.h"
#include "gui/MessageDialog.h"
#include "install/FileList.h"
#include "install/FileListResource.h"
#include "install/UninstallEntry.h"
#include "shell/FilePaths.h"
#include "shell/ShellPaths.h"
#include "shell/UniqueHandle.h"
#include "uninstall/InstalledFiles.h"
#include "uninstall/ProductShortcuts.h"
#include "uninstall/SelfRemoval.h"
#include "uninstall/UninstallDialogs.h"
#include "uninstall/UninstallTexts.h"

namespace setup {

namespace {

// The running-instance guard of the setup wizard: the same search, and the same message unless
// the removal is silent.
bool ProductRuns(const UninstallOptions& options) {
  if (!options.silent) return ProductIsRunning(Global::LanguageIndex);
  const ProductWindowIdentity product{Global::LoadConfigString(Global::idMainWindowClass),
                                      Global::LoadConfigString(Global::idMainWindowTitleEn),
                                      Global::LoadConfigString(Global::idMainWindowTitleCn)};
  return !FindRunningTitle(product).empty();
}

struct Product {
  std::u16string displayName;             // in the language of the texts
  std::vector<std::u16string> bothNames;  // the display names of both languages, for the shortcuts
  std::vector<std::u16string> keyNames;   // every name its Uninstall entry may have
};

Product ReadProduct() {
  const std::u16string english = Global::LoadConfigString(Global::idProductDisplayNameEn);
  const std::u16string chinese = Global::LoadConfigString(Global::idProductDisplayNameCn);
  Product product{Global::LanguageIndex == Global::kChinese ? chinese : english, {english}, {}};
  if (chinese != english) product.bothNames.push_back(chinese);
  product.keyNames = KnownKeyNames({Global::LoadConfigString(Global::idProductId), english, chinese});
  return product;
}

// What is still in the install folder besides the uninstaller, relative to it: files the user
// made there, which stay. A linked folder is named, not entered.
void ListWhatStays(const std::u16string& folder, const std::u16string& below, const std::u16string& uninstaller,
                   std::vector<std::u16string>& found) {
  WIN32_FIND_DATAW entry;
  const UniqueFindHandle search(
      FindFirstFileExW(WidePtr(folder + below + u"*"), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
  if (!search) return;
  do {
    const std::u16string name = FromWide(entry.cFileName);
    if (name == u"." || name == u"..") continue;
    const std::u16string relative = below + name;
    const bool folderEntry = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folderEntry && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      ListWhatStays(folder, relative + u"\\", uninstaller, found);
    } else if (!SameFile(folder + relative, uninstaller)) {
      found.push_back(relative);
    }
  } while (FindNextFileW(search.Get(), &entry));
}

// Removes everything the setup made; returns the full paths of what could not be removed.
std::vector<std::u16string> RemoveInstallation(const Product& product, const std::vector<std::u16string>& files,
                                               StepLog& log) {
  const std::u16string uninstaller = ModuleFilePath();
  const std::u16string installFolder = FolderPart(uninstaller);
  // Without its own folder every listed path would be taken relative to the working folder.
  if (installFolder.empty()) throw EInOutError(u"The uninstaller cannot find its own folder");

  // The shortcuts are judged by their targets, so before those are deleted.
  std::vector<std::u16string> shortcuts;
  for (const std::u16string& name : product.bothNames) {
    for (std::u16string& link : FindProductShortcuts(name, installFolder)) shortcuts.push_back(std::move(link));
  }

  log.Line(u"Folder: " + installFolder);
  for (const std::u16string& file : files) log.Line(u"File: " + file);
  std::vector<std::u16string> left = RemoveListedFiles(installFolder, files, uninstaller);
  RemoveEmptyFolders(installFolder, FoldersOfFiles(files));
  for (const std::u16string& link : shortcuts) {
    log.Line(u"Shortcut: " + link);
    if (!DeleteFileW(WidePtr(link)) && GetLastError() != ERROR_FILE_NOT_FOUND) left.push_back(link);
  }
  for (const std::u16string& path : left) log.Line(u"Not removed: " + path);
  if (!left.empty()) return left;  // the registration and the uninstaller stay for another run

  // Not the product's: what the user made in the folder is named, and stays with the folder.
  std::vector<std::u16string> stays;
  ListWhatStays(installFolder, u"", uninstaller, stays);
  for (const std::u16string& path : stays) log.Line(u"Kept (not installed by this product): " + path);

  for (const std::u16string& name : product.keyNames) {
    if (RemoveUninstallRegistration(UninstallRoot(InstallScopeFromText(Global::LoadConfigString(Global::idScope))),
                                    name, uninstaller))
      log.Line(u"Registration removed: " + name);
  }
  if (!StartSelfRemoval()) left.push_back(uninstaller);
  return left;
}

int Uninstall(const UninstallOptions& options, StepLog& log) {
  Global::LanguageIndex = Global::LanguageIndexForCodePage(GetACP());
  log.Line(options.silent ? u"Uninstall: silent" : u"Uninstall");
  // One install or removal of this product at a time, shared with its Setup.exe.
  const ProductInstallLock lock(ThisProductLockIdentity(), kInstallLockWait);
  if (!lock.Held()) {
    log.Line(u"Stopped: another install or removal of this product is running");
    if (!options.silent) ShowWarning(AnotherInstallRunningText(Global::LanguageIndex));
    return kUninstallAnotherRunning;
  }
  if (ProductRuns(options)) {
    log.Line(u"Stopped: the product is running");
    return kUninstallProductRunning;
  }

  gui::TApplication& application = gui::Application();
  application.Initialize();  // joins the single-threaded COM apartment the shortcut object needs
  application.SetIconFromResource(L"AppIcon");
  // As the wizard's form does: some products speak English on every system.
  Global::LanguageIndex =
      UninstallLanguageIndex(Global::LanguageIndex, Global::LoadConfigString(Global::idProductShortName));
  const Product product = ReadProduct();
  application.SetTitle(product.displayName);

  std::vector<std::u16string> files;
  try {
    files = LoadInstalledFileList();
  } catch (const EFileListError& error) {
    log.Line(u"Failed: " + error.Message());
    if (!options.silent) ShowWarning(DamagedUninstallerText(Global::LanguageIndex, error.Message()));
    return kUninstallFailed;
  }

  if (!options.silent && !AskYesNo(ConfirmRemovalText(Global::LanguageIndex, product.displayName))) {
    log.Line(u"Cancelled: answered No");
    return kUninstallCancelled;
  }

  const std::vector<std::u16string> left = RemoveInstallation(product, files, log);
  if (!left.empty()) {
    log.Line(u"Ended with files left");
    if (!options.silent) ShowWarning(NotRemovedText(Global::LanguageIndex, product.displayName, left));
    return kUninstallFilesLeft;
  }
  log.Line(u"Removed");
  if (!options.silent) gui::ShowMessage(RemovedText(Global::LanguageIndex, product.displayName));
  return kUninstallRemoved;
}

}  // namespace

int RunUninstaller(const UninstallOptions& options) noexcept {
  try {
    StepLog log = options.logFile.empty() ? StepLog() : StepLog(options.logFile);
    try {
      return Uninstall(options, log);
    } catch (const Exception& error) {
      log.Line(u"Failed: " + error.Message());
      throw;
    }
  } catch (const Exception& error) {
    if (!options.silent) ShowWarning(error.Message());
  } catch (const std::exception& error) {
    if (!options.silent) ShowWarning(FromUtf8(error.what()));
  } catch (...) {
    // Nothing may leave the entry; the exit code tells the failure.
  }
  return kUninstallFailed;
}

}  // namespace setup
