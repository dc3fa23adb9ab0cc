#include "install/InstallEngine.h"

#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <set>

#include "base/Errors.h"
#include "base/FileSystem.h"
#include "base/MemorySource.h"
#include "base/Text.h"
#include "config/Global.h"
#include "install/DestinationRules.h"
#include "install/FileListResource.h"
#include "install/InstallShortcuts.h"
#include "install/SystemFacts.h"
#include "package/Extract.h"
#include "package/FileTable.h"
#include "package/PackagePaths.h"
#include "product/ProductIds.h"
#include "shell/ByteSize.h"
#include "shell/Registry.h"

namespace setup {

namespace {

struct PublisherInfo {
  const char16_t* name;
  const char16_t* webPage;
};
constexpr PublisherInfo kChinesePublisher{u"澜川软件工作室", u"https://www.example.com/zh-cn/"};
constexpr PublisherInfo kEnglishPublisher{u"Velmora Software", u"https://www.example.com/"};

// The system-folder files that this package's macro rows would create: the only ones there that
// recovery may remove.
std::vector<std::u16string> SystemTargets(const PackageTable& table) {
  std::vector<std::u16string> targets;
  const std::u16string system = DefaultSystemFolder()();
  if (system.empty()) return targets;
  for (const PackageRow& row : table.rows) {
    if (row.inDestination.value_or(false) || row.folder.empty() || row.folder.front() != u'$') continue;
    const auto remainder = MacroRemainder(row.folder);
    if (!remainder) continue;
    targets.push_back(IncludeTrailingPathDelimiter(system) + std::u16string(*remainder) +
                      std::u16string(LastNameComponent(row.name)));
  }
  return targets;
}

// Where the journals' folder lies: the system's folder for data of all users (C:\ProgramData) for
// a machine-wide install, the user's local application data for one user's. Raises when the
// system names none.
std::u16string JournalParentFolder(InstallScope scope) {
  wchar_t path[MAX_PATH] = {};
  const int folder = scope == InstallScope::User ? CSIDL_LOCAL_APPDATA : CSIDL_COMMON_APPDATA;
  if (FAILED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)) || path[0] == 0)
    throw Exception(u"The folder for the install journals is unknown");
  return FromWide(path);
}

// The bytes free to this user on the volume that holds `folder`, asked of its nearest existing
// parent; -1 when no parent answers.
std::int64_t FreeBytesFor(const std::u16string& folder) {
  std::u16string path = folder;
  for (;;) {
    ULARGE_INTEGER available{};
    if (DirectoryExists(path) && GetDiskFreeSpaceExW(WidePtr(path), &available, nullptr, nullptr))
      return static_cast<std::int64_t>(available.QuadPart);
    while (!path.empty() && path.back() == u'\\') path.pop_back();
    const std::size_t cut = path.find_last_of(u'\\');
    if (cut == std::u16string::npos) return -1;
    path.resize(cut + 1);
  }
}

bool IsDamagedPackage(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const EDecompressionError&) {
    return true;
  } catch (const EPackageError&) {
    return true;
  } catch (const EListError&) {
    return true;
  } catch (const EConvertError&) {
    return true;
  } catch (const EReadError&) {
    return true;
  } catch (...) {
    return false;
  }
}

std::u16string MessageOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return FromUtf8(e.what());
  } catch (...) {
    return u"Unknown error";
  }
}

// The file names as Windows compares them: without regard to case.
std::u16string FoldedCase(const std::u16string& path) {
  std::u16string folded = path;
  if (!folded.empty()) CharUpperBuffW(reinterpret_cast<wchar_t*>(folded.data()), static_cast<DWORD>(folded.size()));
  return folded;
}

std::unique_ptr<StepLog>& LogSlot() {
  static std::unique_ptr<StepLog> log = std::make_unique<StepLog>();
  return log;
}

}  // namespace

StepLog& SetupLog() { return *LogSlot(); }

void OpenSetupLog(const std::u16string& fileName) { LogSlot() = std::make_unique<StepLog>(fileName); }

ProductIdentity ThisProductIdentity() {
  return {Global::LoadConfigString(Global::idProductId), Global::LoadConfigString(Global::idProductDisplayNameEn),
          Global::LoadConfigString(Global::idProductDisplayNameCn)};
}

InstallScope ThisProductScope() { return InstallScopeFromText(Global::LoadConfigString(Global::idScope)); }

std::optional<RegisteredInstall> FindEarlierInstall(const ProductIdentity& product, InstallScope scope) {
  return FindRegisteredInstall(UninstallRoot(scope), KnownKeyNames(product));
}

std::span<const std::byte> EmbeddedPackage() {
  // The package is read where it lies, in this program's own image: no copy on disk that
  // another process could replace or change between its writing and its reading.
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC info = FindResourceW(module, WidePtr(product::kPackageName), WidePtr(product::kPackageType));
  const HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;  // a module resource: never freed
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data || SizeofResource(module, info) == 0) throw Exception(u"Resource SetupPackage not found");
  return {static_cast<const std::byte*>(data), SizeofResource(module, info)};
}

InstallRun::InstallRun(InstallChoices choices, std::span<const std::byte> package, StepLog& log)
    : choices_(std::move(choices)), package_(package), log_(log) {}

InstallRun::~InstallRun() {
  if (journal_)
    journal_->Rollback();
  else
    RemoveCreatedFolders();
}

void InstallRun::RemoveCreatedFolders() noexcept {
  for (auto made = createdFolders_.rbegin(); made != createdFolders_.rend(); ++made) (void)RemoveEmptyDirectory(*made);
  createdFolders_.clear();
}

void InstallRun::Fail(InstallOutcome outcome, std::u16string reason) {
  failure_.outcome = outcome;
  failure_.reason = std::move(reason);
  failure_.file = currentFile_;
  log_.Line(u"Failed: " + (failure_.file.empty() ? u"" : failure_.file + u": ") + failure_.reason);
}

std::int64_t InstallRun::TotalUnpacked() const noexcept { return table_ ? table_->totalUnpacked : 0; }

bool InstallRun::DecideKind() {
  const std::optional<RegisteredInstall> earlier = FindEarlierInstall(choices_.identity, choices_.scope);
  if (earlier) {
    log_.Line(u"Earlier install: version " + (earlier->version.empty() ? u"(none given)" : earlier->version) + u" in " +
              earlier->location + u" (Uninstall entry " + earlier->keyName + u")");
  } else {
    log_.Line(u"Earlier install: none");
  }
  kind_ = DecideInstallKind(earlier ? std::optional(earlier->version) : std::nullopt, choices_.version);
  std::u16string decision = u"Decision: " + std::u16string(InstallKindName(kind_));
  if (earlier) decision += u" from " + earlier->version + u" to " + choices_.version;
  if (kind_ == InstallKind::Downgrade && !choices_.allowDowngrade) {
    log_.Line(decision + u": refused, downgrading was not allowed");
    Fail(InstallOutcome::NewerInstalled,
         u"Version " + earlier->version + u" is installed, newer than this Setup's " + choices_.version);
    return false;
  }
  log_.Line(kind_ == InstallKind::Downgrade ? decision + u": allowed" : decision);
  return true;
}

void InstallRun::FindDroppedFiles() {
  const std::u16string uninstaller = choices_.setupDir + u"Uninst.exe";
  if (!FileExists(uninstaller)) return;
  std::vector<std::u16string> earlier;
  try {
    earlier = LoadInstalledFileList(uninstaller);
  } catch (const Exception& error) {
    // Without the list nothing is known to be the product's: every file there stays.
    log_.Line(u"The earlier install's file list cannot be read; no file is dropped: " + error.Message());
    return;
  }
  std::set<std::u16string> carried;
  for (const std::u16string& file : DestinationFiles(*table_)) carried.insert(FoldedCase(file));
  for (const std::u16string& file : earlier) {
    if (!carried.contains(FoldedCase(file))) dropped_.push_back(file);
  }
}

bool InstallRun::Prepare() {
  // What is installed, logged and registered is the folder the system reaches, and never the
  // root of a drive or a folder of the system's own.
  const auto canonical = CanonicalDestination(choices_.setupDir);
  if (!canonical || IsReservedDestination(*canonical, ReservedSystemFolders())) {
    currentFile_ = choices_.setupDir;
    Fail(InstallOutcome::UnusableDestination, u"No product may be installed into this folder");
    currentFile_.clear();
    return false;
  }
  choices_.setupDir = *canonical;
  log_.Line(u"Destination: " + choices_.setupDir);
  if (!DecideKind()) return false;
  try {
    MemorySource source(package_);
    table_ = std::make_unique<PackageTable>(LoadFileTable(source, u""));
  } catch (...) {
    Fail(InstallOutcome::DamagedPackage, MessageOf(std::current_exception()));
    return false;
  }

  const std::u16string folder = choices_.setupDir;
  try {
    // The journal is administrator data: it lies in a folder only administrators can write (and,
    // for one user's install, that user), named after the product and the destination, never in
    // the destination itself.
    const bool oneUser = choices_.scope == InstallScope::User;
    scope_.journalFile = JournalFolder(JournalParentFolder(choices_.scope),
                                       oneUser ? journal_file::JournalWriters::AdministratorsAndOwner
                                               : journal_file::JournalWriters::Administrators) +
                         JournalFileName(choices_.shortName, folder);
    scope_.destination = folder;
    const std::u16string system = DefaultSystemFolder()();
    scope_.systemFolder = system.empty() ? std::u16string() : IncludeTrailingPathDelimiter(system);
    scope_.systemTargets = SystemTargets(*table_);
    switch (RecoverInstallJournal(scope_)) {
      case Recovery::Recovered:
        log_.Line(u"Undone: the unfinished install of an earlier run");
        break;
      case Recovery::Refused:
        Fail(InstallOutcome::WriteFailure, u"The journal of an earlier run cannot be trusted: " + scope_.journalFile);
        return false;
      case Recovery::NoJournal:
        break;
    }
  } catch (const Exception& error) {
    Fail(InstallOutcome::WriteFailure, error.Message());
    return false;
  }

  // After the recovery: an interrupted upgrade is back to the earlier install, whose list counts.
  FindDroppedFiles();

  const std::int64_t free = FreeBytesFor(folder);
  log_.Line(u"Space needed: " + IntToText(TotalUnpacked()) + u" bytes; free: " + IntToText(free) + u" bytes");
  if (free >= 0 && free < TotalUnpacked()) {
    failure_.missingBytes = TotalUnpacked() - free;
    Fail(InstallOutcome::TooLittleSpace,
         u"Not enough space: " + FormatByteSize(failure_.missingBytes) + u" more needed");
    return false;
  }

  // The missing folders, made outermost first and remembered for the rollback.
  std::vector<std::u16string> missing;
  std::u16string path = folder;
  while (path.size() > 1 && path.back() == u'\\') path.pop_back();
  while (!path.empty() && !DirectoryExists(path)) {
    missing.push_back(path);
    const std::size_t cut = path.find_last_of(u'\\');
    if (cut == std::u16string::npos || cut < 2) break;
    path.resize(cut);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!CreateDirectoryW(WidePtr(*it), nullptr) && !DirectoryExists(*it)) {
      const std::u16string reason = LastErrorText();
      RemoveCreatedFolders();
      currentFile_ = *it;
      Fail(InstallOutcome::UnusableDestination, reason);
      return false;
    }
    createdFolders_.push_back(*it);
    log_.Line(u"Folder created: " + *it);
  }
  return true;
}

bool InstallRun::Extract(const std::function<void(std::int64_t percent)>& onPercent) {
  try {
    journal_ = std::make_unique<InstallJournal>(scope_, createdFolders_);
  } catch (...) {
    RemoveCreatedFolders();
    Fail(InstallOutcome::WriteFailure, MessageOf(std::current_exception()));
    return false;
  }
  createdFolders_.clear();  // the journal undoes them from here on
  std::int64_t shown = -1;
  ExtractControl control;
  control.journal = journal_.get();
  control.table = table_.get();
  control.cancelled = [this] { return cancel_.load(); };
  control.onFile = [this](const std::u16string& file) {
    currentFile_ = file;
    log_.Line(u"File: " + file);
  };
  control.onBytes = [&](std::int64_t done, std::int64_t total) {
    const std::int64_t percent = total == 0 ? 100 : done * 100 / total;
    if (percent == shown || !onPercent) return;
    shown = percent;
    onPercent(percent);
  };
  try {
    ExtractPackage(package_, choices_.setupDir, u"", control);
    if (!dropped_.empty()) {
      std::vector<std::u16string> paths;
      for (const std::u16string& file : dropped_) {
        log_.Line(u"Dropped: " + file);
        paths.push_back(choices_.setupDir + file);
      }
      currentFile_ = choices_.setupDir;
      journal_->DropFiles(paths);
    }
    if (onPercent && shown != 100) onPercent(100);
    currentFile_.clear();
    log_.Line(u"Extracted: " + IntToText(TotalUnpacked()) + u" bytes");
    for (const std::u16string& file : journal_->ReplacedAtRestart())
      log_.Line(u"In use, replaced at the next restart: " + file);
    restartNeeded_ = !journal_->ReplacedAtRestart().empty();
    return true;
  } catch (const ECancelled&) {
    currentFile_.clear();
    Fail(InstallOutcome::Cancelled, u"Cancelled");
  } catch (...) {
    const std::exception_ptr error = std::current_exception();
    Fail(IsDamagedPackage(error) ? InstallOutcome::DamagedPackage : InstallOutcome::WriteFailure, MessageOf(error));
  }
  journal_->Rollback();
  journal_.reset();
  log_.Line(u"Rolled back");
  return false;
}

bool InstallRun::Finish() {
  if (cancel_) {
    log_.Line(u"Cancel requested after the last file");
    Abandon();
    return false;
  }
  const std::u16string program = choices_.setupDir + choices_.shortName + u".exe";
  // Shortcuts and the Uninstall key are a convenience: a failure skips the rest of them silently.
  try {
    CreateProductShortcuts({program, choices_.displayName, choices_.desktopShortcut, choices_.quickLaunchShortcut,
                            choices_.scope == InstallScope::Machine},
                           log_);

    // The product file may name its own publisher and web page; the built-in ones are the default.
    const bool chinese = choices_.languageIndex == Global::kChinese;
    const PublisherInfo& builtIn = chinese ? kChinesePublisher : kEnglishPublisher;
    const std::u16string publisherName =
        Global::LoadConfigString(chinese ? Global::idPublisherCn : Global::idPublisherEn);
    const std::u16string webPage = Global::LoadConfigString(chinese ? Global::idWebPageCn : Global::idWebPageEn);
    const std::u16string keyName = UninstallKeyName(choices_.identity, choices_.displayName);
    const HKEY root = UninstallRoot(choices_.scope);
    WriteUninstallEntry(root, keyName,
                        {choices_.setupDir, program, choices_.displayName, choices_.version,
                         publisherName.empty() ? std::u16string(builtIn.name) : publisherName,
                         webPage.empty() ? std::u16string(builtIn.webPage) : webPage, TotalUnpacked()});
    const std::u16string key = std::u16string(kUninstallKeyPath) + u"\\" + keyName;
    // One entry per install: one the same folder's uninstaller made under another name (in the
    // other language, or before the product had an identity) goes.
    for (const std::u16string& name : KnownKeyNames(choices_.identity)) {
      if (name != keyName && RemoveUninstallRegistration(root, name, choices_.setupDir + u"Uninst.exe"))
        log_.Line(u"Registration replaced: " + name);
    }
    log_.Line((root == HKEY_CURRENT_USER ? u"Registered: HKEY_CURRENT_USER\\" : u"Registered: HKEY_LOCAL_MACHINE\\") +
              key);
  } catch (const Exception& error) {
    // Deliberately not a failure: the product is installed; only its conveniences are missing.
    log_.Line(u"Skipped the rest of the shortcuts and the registration: " + error.Message());
  } catch (...) {
    log_.Line(u"Skipped the rest of the shortcuts and the registration");
  }
  if (journal_) {
    if (!journal_->Commit()) log_.Line(u"Old files still in use are removed by the next run");
    journal_.reset();
  }
  log_.Line(restartNeeded_ ? u"Installed; a restart finishes the install" : u"Installed");
  return true;
}

void InstallRun::Abandon() {
  if (journal_) {
    journal_->Rollback();
    journal_.reset();
  } else {
    RemoveCreatedFolders();
  }
  failure_.outcome = InstallOutcome::Cancelled;
  log_.Line(u"Cancelled; rolled back");
}

}  // namespace setup
