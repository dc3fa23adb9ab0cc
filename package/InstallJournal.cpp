#include "package/InstallJournal.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/Errors.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "crypto/Random.h"
#include "crypto/Sha256.h"
#include "package/HeldFolderEntries.h"
#include "package/JournalFile.h"
#include "package/PackageErrors.h"
#include "package/RestartReplace.h"
#include "package/TargetFolder.h"

namespace setup {

namespace {

// A journal beyond this is not one that an install wrote.
constexpr std::size_t kLargestJournal = 64 * 1024 * 1024;

constexpr char16_t kHexDigits[] = u"0123456789abcdef";

std::u16string Hex(const std::uint8_t* bytes, std::size_t count) {
  std::u16string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += kHexDigits[bytes[i] >> 4];
    text += kHexDigits[bytes[i] & 15];
  }
  return text;
}

std::u16string FolderOf(const std::u16string& path) {
  std::size_t cut = path.size();
  while (cut > 0 && !IsPathDelimiter(path[cut - 1])) --cut;
  return path.substr(0, cut);
}

std::u16string NameOf(const std::u16string& path) { return path.substr(FolderOf(path).size()); }

std::u16string WithoutTrailingDelimiter(std::u16string path) {
  while (path.size() > 1 && IsPathDelimiter(path.back())) path.pop_back();
  return path;
}

// A line cannot hold a line break or a tab; no file name on Windows holds a control character.
bool Storable(const std::u16string& path) {
  return !path.empty() && std::none_of(path.begin(), path.end(), [](char16_t c) { return c < u' '; });
}

std::u16string AsideName(const std::u16string& target) {
  std::array<std::uint8_t, 8> bytes{};
  FillSecureRandom(bytes.data(), bytes.size());
  return FolderOf(target) + u"~stp" + Hex(bytes.data(), bytes.size()) + u".old";
}

// The held folder of a path inside the scope, reached without following a link; empty when the
// path lies outside it, a folder on the way is missing or is a link.
std::optional<TargetFolder> HeldFolderOf(const ReachablePath& reached) {
  try {
    TargetFolder folder(reached.base, reached.below, TargetFolder::Missing::Stop);
    if (!folder.IsOpen()) return std::nullopt;
    return folder;
  } catch (const EPackageError&) {
    return std::nullopt;  // a link on the way: nothing behind it is touched
  }
}

bool RemoveFileInScope(const JournalScope& scope, const std::u16string& path) {
  const auto reached = SplitInScope(scope, path);
  if (!reached) return false;
  const auto folder = HeldFolderOf(*reached);
  return folder && NameExistsIn(*folder, reached->name) && RemoveFileIn(*folder, reached->name);
}

// Moves the old file back over the target, both in one held folder.
bool MoveBackInScope(const JournalScope& scope, const std::u16string& target, const std::u16string& aside) {
  const auto reached = SplitInScope(scope, target);
  if (!reached || !SamePath(FolderOf(aside), FolderOf(target))) return false;
  const auto folder = HeldFolderOf(*reached);
  const std::u16string asideName = NameOf(aside);
  return folder && NameExistsIn(*folder, asideName) && RenameIn(*folder, asideName, reached->name);
}

// An empty folder the attempt made: inside the scope it is reached like a file; above the
// destination (made for it) from its parent as it stands, the folder itself never followed.
void RemoveFolderInScope(const JournalScope& scope, const std::u16string& path) {
  const std::u16string folderPath = WithoutTrailingDelimiter(path);
  if (const auto reached = SplitInScope(scope, folderPath)) {
    if (const auto folder = HeldFolderOf(*reached)) (void)RemoveEmptyFolderIn(*folder, reached->name);
    return;
  }
  const std::u16string parent = FolderOf(folderPath);
  if (parent.empty()) return;
  const TargetFolder folder(parent, u"", TargetFolder::Missing::Stop);
  (void)RemoveEmptyFolderIn(folder, NameOf(folderPath));
}

// Undoes the entries, last first; folders go after everything else, once `beforeFolders` has run.
template <class BeforeFolders>
void Undo(const JournalScope& scope, const std::vector<JournalEntry>& entries, const BeforeFolders& beforeFolders) {
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    switch (it->kind) {
      case kJournalTemporary:
      case kJournalNewFile:
        (void)RemoveFileInScope(scope, it->path);
        break;
      case kJournalAside:
        (void)MoveBackInScope(scope, it->path, it->second);
        break;
      case kJournalAtRestart:
        // Withdrawn first; the temporary file goes too, so that a move the system still holds
        // finds nothing to put over the old file.
        (void)restart_replace::Withdraw(it->second);
        (void)RemoveFileInScope(scope, it->second);
        break;
      default:
        break;
    }
  }
  beforeFolders();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (it->kind == kJournalFolder) RemoveFolderInScope(scope, it->path);
}

// Removes the moved-aside files of a committed attempt; true when none is left.
bool RemoveAsides(const JournalScope& scope, const std::vector<JournalEntry>& entries) {
  bool all = true;
  // The files of one folder follow each other in the journal: their folder is reached and held
  // once for all of them, not walked again from the base for each.
  std::optional<TargetFolder> folder;
  std::u16string folderPath;
  bool reachedOnce = false;
  for (const JournalEntry& entry : entries) {
    if (entry.kind != kJournalAside) continue;
    const auto reached = SplitInScope(scope, entry.second);
    if (!reached) continue;
    const std::u16string path = reached->base + u'\n' + reached->below;
    if (!reachedOnce || path != folderPath) {
      folder.reset();
      if (auto held = HeldFolderOf(*reached)) folder.emplace(std::move(*held));
      folderPath = path;
      reachedOnce = true;
    }
    if (!folder || !NameExistsIn(*folder, reached->name)) continue;
    if (!RemoveFileIn(*folder, reached->name)) all = false;
  }
  return all;
}

// A committed attempt's targets that wait for the restart: a target that nobody holds any more
// receives its new file now, and its pending move is withdrawn, so that a restart after a later
// install cannot put this older file over a newer one. A target still in use keeps its move (a
// later install's own move of it queues after it). The temporary file is never removed here.
void FinishRestartMoves(const JournalScope& scope, const std::vector<JournalEntry>& entries) {
  for (const JournalEntry& entry : entries) {
    if (entry.kind != kJournalAtRestart) continue;
    const auto reached = SplitInScope(scope, entry.path);
    if (!reached) continue;
    const auto folder = HeldFolderOf(*reached);
    const std::u16string temporaryName = NameOf(entry.second);
    if (!folder || !NameExistsIn(*folder, temporaryName)) continue;  // the restart has come
    if (RenameIn(*folder, temporaryName, reached->name)) (void)restart_replace::Withdraw(entry.second);
  }
}

}  // namespace

InstallJournal::InstallJournal(JournalScope scope, const std::vector<std::u16string>& createdFolders)
    : scope_(std::move(scope)), handle_(journal_file::CreateExclusive(scope_.journalFile)) {
  if (handle_ == journal_file::kNoFile) throw EFCreateError(scope_.journalFile, LastErrorText());
  for (const std::u16string& created : createdFolders) Append(kJournalFolder, WithoutTrailingDelimiter(created));
}

InstallJournal::~InstallJournal() {
  if (!finished_) Rollback();
}

void InstallJournal::Append(char16_t kind, const std::u16string& path, const std::u16string& second) {
  if (!Storable(path) || (!second.empty() && !Storable(second))) throw EFCreateError(path, u"Invalid file name");
  JournalEntry entry{kind, path, second};
  const std::string bytes = JournalLine(entry);
  if (!journal_file::Append(handle_, bytes.data(), bytes.size()))
    throw EFCreateError(scope_.journalFile, LastErrorText());
  entries_.push_back(std::move(entry));
}

void InstallJournal::ForceToDisk() {
  if (!journal_file::Flush(handle_)) throw EFCreateError(scope_.journalFile, LastErrorText());
}

void InstallJournal::CreateFolders(const std::u16string& base, std::u16string_view below) {
  const std::u16string root = IncludeTrailingPathDelimiter(base);
  // The base is the caller's own choice (it may be a link): made by its path when missing.
  if (!DirectoryExists(root)) {
    std::vector<std::u16string> missing;
    std::u16string path = WithoutTrailingDelimiter(root);
    while (!path.empty() && !DirectoryExists(path)) {
      missing.push_back(path);
      const std::u16string parent = WithoutTrailingDelimiter(FolderOf(path));
      if (parent.empty() || parent == path) break;
      path = parent;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) Append(kJournalFolder, *it);
    if (!ForceDirectories(root)) throw EInOutError::CannotCreateDirectory();
  }
  if (below.empty() || DirectoryExists(root + std::u16string(below))) return;
  // Below it, each missing folder is recorded first and then made by the walk, which follows
  // no link on the way.
  std::size_t start = 0;
  bool recording = false;
  while (start < below.size()) {
    std::size_t end = start;
    while (end < below.size() && !IsPathDelimiter(below[end])) ++end;
    const std::u16string folder = root + std::u16string(below.substr(0, end));
    if (end > start && (recording || !DirectoryExists(folder))) {
      recording = true;
      Append(kJournalFolder, folder);
    }
    start = end + 1;
  }
  if (recording) {
    const TargetFolder made(root, below, TargetFolder::Missing::Create);
    if (!made.IsOpen()) throw EInOutError::CannotCreateDirectory();
  }
}

void InstallJournal::TemporaryFile(const std::u16string& file) { Append(kJournalTemporary, file); }

void InstallJournal::NewFile(const std::u16string& target) { Append(kJournalNewFile, target); }

void InstallJournal::ReserveAsides(const std::vector<std::u16string>& targets) {
  bool any = false;
  for (const std::u16string& target : targets) {
    if (!FileExists(target)) continue;
    const std::u16string aside = AsideName(target);
    Append(kJournalAside, target, aside);
    reserved_.emplace(target, aside);
    any = true;
  }
  // Once for the whole batch: no file of it has moved yet.
  if (any) ForceToDisk();
}

InstallJournal::Placement InstallJournal::PrepareTarget(const std::u16string& target, const std::u16string& temporary) {
  if (FileExists(target)) {
    if (!HasReservedAside(target)) ReserveAsides({target});
    const auto reservation = reserved_.find(target);
    const std::u16string aside = reservation->second;
    reserved_.erase(reservation);
    if (!ReplaceFileWith(target, aside)) {
      const bool inUse = restart_replace::LastFailureMeansInUse();
      const std::u16string reason = LastErrorText();
      // Nothing was moved: the aside entry names a file that does not exist, which rollback
      // passes over.
      // Only a target of the destination waits for the restart, never a system-folder file.
      if (inUse && EntryAllowed(scope_, {kJournalAtRestart, target, temporary})) return Placement::AtRestart;
      throw EFCreateError(target, reason);
    }
  }
  Append(kJournalNewFile, target);
  return Placement::Now;
}

void InstallJournal::ReplaceAtRestart(const std::u16string& target, const std::u16string& temporary) {
  // Recorded first: a run killed right after the system's list took the move still withdraws it.
  Append(kJournalAtRestart, target, temporary);
  if (!restart_replace::Schedule(temporary, target)) throw EFCreateError(target, LastErrorText());
  atRestart_.push_back(target);
}

void InstallJournal::DropFiles(const std::vector<std::u16string>& targets) {
  struct Drop {
    TargetFolder folder;
    std::u16string name;
    std::u16string asideName;
  };
  std::vector<Drop> drops;
  for (const std::u16string& target : targets) {
    const auto reached = SplitInScope(scope_, target);
    if (!reached || !FileExists(target)) continue;
    auto folder = HeldFolderOf(*reached);
    if (!folder || !NameExistsIn(*folder, reached->name)) continue;
    const std::u16string aside = AsideName(target);
    Append(kJournalAside, target, aside);
    drops.push_back({std::move(*folder), reached->name, NameOf(aside)});
    for (std::u16string parent = FolderOf(target); parent.size() > scope_.destination.size();
         parent = FolderOf(WithoutTrailingDelimiter(parent))) {
      droppedFolders_.push_back(WithoutTrailingDelimiter(parent));
    }
  }
  if (drops.empty()) return;
  ForceToDisk();  // once for the batch: no file moves before every record of it is on the disk
  for (const Drop& drop : drops) {
    if (!RenameIn(drop.folder, drop.name, drop.asideName))
      throw EFCreateError(drop.folder.Path() + drop.name, LastErrorText());
  }
}

bool InstallJournal::Commit() {
  finished_ = true;
  bool clean = false;
  try {
    Append(kJournalCommitted, scope_.journalFile);
    // Once an old file is gone, a later recovery must find the attempt committed, not undo it. A
    // new install has nothing to lose and is not forced: on some file systems (ext4 under Wine)
    // forcing one file forces every file written before it.
    if (std::any_of(entries_.begin(), entries_.end(), [](const JournalEntry& e) { return e.kind == kJournalAside; }))
      ForceToDisk();
    clean = RemoveAsides(scope_, entries_);
  } catch (const Exception&) {
    // The marker could not be written: remove the moved-aside files all the same.
    clean = RemoveAsides(scope_, entries_);
  }
  journal_file::Close(handle_);
  handle_ = journal_file::kNoFile;
  // A moved-aside file still in use stays for the next run's recovery, and so does the journal;
  // so it does while targets wait for the restart.
  if (clean && atRestart_.empty()) (void)RemoveFile(scope_.journalFile);
  // Deepest first, so that a folder emptied by its subfolder's removal goes too.
  std::sort(droppedFolders_.begin(), droppedFolders_.end(),
            [](const std::u16string& a, const std::u16string& b) { return a.size() > b.size(); });
  for (const std::u16string& folder : droppedFolders_) RemoveFolderInScope(scope_, folder);
  return clean;
}

void InstallJournal::Rollback() noexcept {
  if (handle_ == journal_file::kNoFile && finished_) return;
  finished_ = true;
  try {
    Undo(scope_, entries_, [this] {
      journal_file::Close(handle_);
      handle_ = journal_file::kNoFile;
      (void)RemoveFile(scope_.journalFile);
    });
  } catch (...) {
    // Best effort: whatever could not be undone stays for the next run's recovery.
  }
}

std::u16string JournalFolder(const std::u16string& parent, journal_file::JournalWriters writers) {
  std::u16string folder = IncludeTrailingPathDelimiter(parent);
  for (const char16_t* step : {u"Setup Toolkit", u"Journals"}) {
    folder += step;
    if (!journal_file::MakeProtectedFolder(folder, writers))
      throw EFCreateError(folder, u"The folder for install journals is not one only its writers can write");
    folder = IncludeTrailingPathDelimiter(folder);
  }
  return folder;
}

std::u16string JournalFileName(std::u16string_view product, std::u16string_view destination) {
  TSha256 hash;
  hash.Init();
  std::u16string key(product);
  key += u'\n';
  key += destination;
#ifdef _WIN32
  for (char16_t& c : key)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
#endif
  hash.UpdateStr(std::u16string_view(key));
  std::array<std::uint8_t, 32> digest{};
  hash.Final(digest.data());
  return u"~stp" + Hex(digest.data(), 8) + u".jnl";
}

Recovery RecoverInstallJournal(const JournalScope& scope) {
  std::intptr_t file = journal_file::kNoFile;
  switch (journal_file::OpenTrusted(scope.journalFile, file)) {
    case journal_file::Trust::Missing:
      return Recovery::NoJournal;
    case journal_file::Trust::Refused:
      return Recovery::Refused;
    case journal_file::Trust::Trusted:
      break;
  }
  std::string text;
  const bool read = journal_file::ReadAll(file, text, kLargestJournal);
  journal_file::Close(file);
  if (!read) return Recovery::Refused;

  std::vector<JournalEntry> entries = ParseJournal(text);
  std::erase_if(entries, [&](const JournalEntry& entry) { return !EntryAllowed(scope, entry); });
  const bool committed =
      std::any_of(entries.begin(), entries.end(), [](const JournalEntry& e) { return e.kind == kJournalCommitted; });
  if (committed) {
    FinishRestartMoves(scope, entries);
    if (RemoveAsides(scope, entries)) (void)RemoveFile(scope.journalFile);
  } else {
    Undo(scope, entries, [&] { (void)RemoveFile(scope.journalFile); });
  }
  return Recovery::Recovered;
}

}  // namespace setup
