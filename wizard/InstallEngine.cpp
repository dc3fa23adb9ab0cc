#include "wizard/InstallEngine.h"

#include <shlobj.h>

#include <algorithm>
#include <cwctype>

#include "base/Errors.h"
#include "base/FileSystem.h"
#include "base/MemorySource.h"
#include "base/Text.h"
#include "config/Global.h"
#include "gui/Resources.h"
#include "package/Extract.h"
#include "package/FileTable.h"
#include "package/PackagePaths.h"
#include "product/ProductIds.h"
#include "shell/ByteSize.h"
#include "shell/Registry.h"
#include "wizard/DestinationRules.h"
#include "wizard/InstallShortcuts.h"
#include "wizard/SystemFacts.h"

namespace setup {

namespace {

constexpr char16_t kUninstallRoot[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

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

// The system's folder for data of all users (C:\ProgramData); its subfolders can be made
// protected. Raises when the system names none.
std::u16string CommonProgramDataFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) || path[0] == 0)
    throw Exception(u"The folder for data of all users is unknown");
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

std::unique_ptr<StepLog>& LogSlot() {
  static std::unique_ptr<StepLog> log = std::make_unique<StepLog>();
  return log;
}

}  // namespace

StepLog& SetupLog() { return *LogSlot(); }

void OpenSetupLog(const std::u16string& fileName) { LogSlot() = std::make_unique<StepLog>(fileName); }

std::span<const std::byte> EmbeddedPackage() {
  // The package is read where it lies, in this program's own image: no copy on disk that
  // another process could replace or change between its writing and its reading.
  const auto bytes = gui::ResourceBytes(WidePtr(product::kPackageType), WidePtr(product::kPackageName));
  if (bytes.empty()) throw Exception(u"Resource SetupPackage not found");
  return bytes;
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
  try {
    MemorySource source(package_);
    table_ = std::make_unique<PackageTable>(LoadFileTable(source, u""));
  } catch (...) {
    Fail(InstallOutcome::DamagedPackage, MessageOf(std::current_exception()));
    return false;
  }

  const std::u16string folder = choices_.setupDir;
  try {
    // The journal is administrator data: it lies in a folder only administrators can write,
    // named after the product and the destination, never in the destination itself.
    scope_.journalFile = JournalFolder(CommonProgramDataFolder()) + JournalFileName(choices_.shortName, folder);
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
    if (onPercent && shown != 100) onPercent(100);
    currentFile_.clear();
    log_.Line(u"Extracted: " + IntToText(TotalUnpacked()) + u" bytes");
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
  const std::u16string uninstaller = u"\"" + choices_.setupDir + u"Uninst.exe\"";
  // Shortcuts and the Uninstall key are a convenience: a failure skips the rest of them silently.
  try {
    CreateProductShortcuts({program, choices_.displayName, choices_.desktopShortcut, choices_.quickLaunchShortcut},
                           log_);

    const std::u16string key = kUninstallRoot + choices_.displayName;
    (void)CreateRegistryKey(HKEY_LOCAL_MACHINE, key);
    // The product file may name its own publisher and web page; the built-in ones are the default.
    const bool chinese = choices_.languageIndex == Global::kChinese;
    const PublisherInfo& builtIn = chinese ? kChinesePublisher : kEnglishPublisher;
    const std::u16string publisherName =
        Global::LoadConfigString(chinese ? Global::idPublisherCn : Global::idPublisherEn);
    const std::u16string webPage = Global::LoadConfigString(chinese ? Global::idWebPageCn : Global::idWebPageEn);
    std::u16string location = choices_.setupDir;
    if (location.size() > 3 && location.back() == u'\\') location.pop_back();
    const std::pair<const char16_t*, std::u16string> values[] = {
        {u"DisplayIcon", program},
        {u"DisplayName", choices_.displayName},
        {u"DisplayVersion", choices_.version},
        {u"Publisher", publisherName.empty() ? std::u16string(builtIn.name) : publisherName},
        {u"URLInfoAbout", webPage.empty() ? std::u16string(builtIn.webPage) : webPage},
        // Quoted: unquoted blanks would let Windows try "C:\Program.exe" first.
        {u"UninstallString", uninstaller},
        {u"InstallLocation", location},
        {u"QuietUninstallString", uninstaller + u" /S"},
    };
    for (const auto& [name, data] : values) (void)WriteRegistryString(HKEY_LOCAL_MACHINE, key, name, data);
    const std::pair<const char16_t*, DWORD> numbers[] = {
        {u"EstimatedSize", static_cast<DWORD>((TotalUnpacked() + 1023) / 1024)},
        {u"NoModify", 1},
        {u"NoRepair", 1},
    };
    for (const auto& [name, value] : numbers) (void)WriteRegistryDword(HKEY_LOCAL_MACHINE, key, name, value);
    log_.Line(u"Registered: HKEY_LOCAL_MACHINE\\" + key);
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
  log_.Line(u"Installed");
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
