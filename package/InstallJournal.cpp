#include "package/InstallJournal.h"

#include <algorithm>
#include <array>

#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "crypto/Random.h"
#include "package/JournalFile.h"

namespace setup {

namespace {

// Entry kinds, the first character of a line.
constexpr char16_t kFolder = u'D';     // a folder this attempt created
constexpr char16_t kTemporary = u'T';  // a temporary file
constexpr char16_t kNewFile = u'N';    // a target that receives a new file
constexpr char16_t kAside = u'A';      // an existing target moved aside: target, then its new name
constexpr char16_t kCommitted = u'C';  // the attempt succeeded: only the moved-aside files go

// A journal beyond this is not one that an install wrote.
constexpr std::int64_t kLargestJournal = 64 * 1024 * 1024;
constexpr int kNameAttempts = 16;

std::u16string JournalPath(const std::u16string& folder) {
  return IncludeTrailingPathDelimiter(folder) + InstallJournal::kFileName;
}

std::u16string FolderOf(const std::u16string& path) {
  std::size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut + 1);
}

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
  std::u16string name = FolderOf(target) + u"~stp";
  for (const std::uint8_t b : bytes) {
    name += u"0123456789abcdef"[b >> 4];
    name += u"0123456789abcdef"[b & 15];
  }
  return name + u".old";
}

struct Entry {
  char16_t kind;
  std::u16string path;
  std::u16string second;
};

std::vector<Entry> ParseJournal(const std::string& text) {
  std::vector<Entry> entries;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    // A line without its line break was being written when the process ended: not an entry.
    if (end == std::string::npos) break;
    const std::u16string line = FromUtf8(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.size() < 2 || line[1] != u'\t') continue;
    Entry entry{line[0], line.substr(2), {}};
    const std::size_t tab = entry.path.find(u'\t');
    if (tab != std::u16string::npos) {
      entry.second = entry.path.substr(tab + 1);
      entry.path.resize(tab);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

// Undoes the entries, last first; folders go after everything else (the journal's own folder
// may be one of them), once `beforeFolders` has run.
template <class Entries, class Allowed, class BeforeFolders>
void Undo(const Entries& entries, const Allowed& allowed, const BeforeFolders& beforeFolders) {
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    switch (it->kind) {
      case kTemporary:
      case kNewFile:
        if (allowed(it->path) && FileExists(it->path)) (void)RemoveFile(it->path);
        break;
      case kAside:
        if (allowed(it->path) && allowed(it->second) && FileExists(it->second))
          (void)ReplaceFileWith(it->second, it->path);
        break;
      default:
        break;
    }
  }
  beforeFolders();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (it->kind == kFolder && allowed(it->path)) (void)RemoveEmptyDirectory(it->path);
  }
}

// Removes the moved-aside files of a committed attempt; true when none is left.
template <class Entries, class Allowed>
bool RemoveAsides(const Entries& entries, const Allowed& allowed) {
  bool all = true;
  for (const auto& entry : entries) {
    if (entry.kind != kAside || !allowed(entry.second) || !FileExists(entry.second)) continue;
    if (!RemoveFile(entry.second)) all = false;
  }
  return all;
}

}  // namespace

InstallJournal::InstallJournal(const std::u16string& folder, const std::vector<std::u16string>& createdFolders)
    : file_(JournalPath(folder)), handle_(journal_file::CreateExclusive(file_)) {
  if (handle_ == journal_file::kNoFile) throw EFCreateError(file_, LastErrorText());
  for (const std::u16string& created : createdFolders) Append(kFolder, WithoutTrailingDelimiter(created));
}

InstallJournal::~InstallJournal() {
  if (!finished_) Rollback();
}

void InstallJournal::Append(char16_t kind, const std::u16string& path, const std::u16string& second) {
  if (!Storable(path) || (!second.empty() && !Storable(second))) throw EFCreateError(path, u"Invalid file name");
  std::u16string line(1, kind);
  line += u'\t';
  line += path;
  if (!second.empty()) line += u'\t' + second;
  line += u'\n';
  const std::string bytes = ToUtf8(line);
  if (!journal_file::Append(handle_, bytes.data(), bytes.size())) throw EFCreateError(file_, LastErrorText());
  entries_.push_back({kind, path, second});
}

void InstallJournal::ForceToDisk() {
  if (!journal_file::Flush(handle_)) throw EFCreateError(file_, LastErrorText());
}

void InstallJournal::CreateFolders(const std::u16string& folder) {
  // The missing folders, innermost first, then made outermost first, each recorded before.
  std::vector<std::u16string> missing;
  std::u16string path = WithoutTrailingDelimiter(folder);
  while (!path.empty() && !DirectoryExists(path)) {
    missing.push_back(path);
    const std::size_t cut = path.find_last_of(u"\\/");
    if (cut == std::u16string::npos || cut == 0) break;
    path = WithoutTrailingDelimiter(path.substr(0, cut));
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    Append(kFolder, *it);
    if (!ForceDirectories(*it)) throw EInOutError::CannotCreateDirectory();
  }
}

void InstallJournal::TemporaryFile(const std::u16string& file) { Append(kTemporary, file); }

void InstallJournal::NewFile(const std::u16string& target) { Append(kNewFile, target); }

void InstallJournal::PrepareTarget(const std::u16string& target) {
  if (FileExists(target)) {
    const std::u16string aside = AsideName(target);
    Append(kAside, target, aside);
    ForceToDisk();  // a moved file that no record on the disk names could not be put back
    if (!ReplaceFileWith(target, aside)) {
      const std::u16string reason = LastErrorText();
      entries_.pop_back();  // nothing was moved; rollback must not move the aside name back
      throw EFCreateError(target, reason);
    }
  }
  Append(kNewFile, target);
}

bool InstallJournal::Commit() {
  finished_ = true;
  const auto always = [](const std::u16string&) { return true; };
  bool clean = false;
  try {
    Append(kCommitted, file_);
    // Once an old file is gone, a later recovery must find the attempt committed, not undo it. A
    // new install has nothing to lose and is not forced: on some file systems (ext4 under Wine)
    // forcing one file forces every file written before it.
    if (std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) { return e.kind == kAside; })) ForceToDisk();
    clean = RemoveAsides(entries_, always);
  } catch (const Exception&) {
    // The marker could not be written: remove the moved-aside files all the same.
    clean = RemoveAsides(entries_, always);
  }
  journal_file::Close(handle_);
  handle_ = journal_file::kNoFile;
  // A moved-aside file still in use stays for the next run's recovery, and so does the journal.
  if (clean) (void)RemoveFile(file_);
  return clean;
}

void InstallJournal::Rollback() noexcept {
  if (handle_ == journal_file::kNoFile && finished_) return;
  finished_ = true;
  try {
    Undo(
        entries_, [](const std::u16string&) { return true; },
        [this] {
          journal_file::Close(handle_);
          handle_ = journal_file::kNoFile;
          (void)RemoveFile(file_);
        });
  } catch (...) {
    // Best effort: whatever could not be undone stays for the next run's recovery.
  }
}

bool RecoverInstallJournal(const std::u16string& folder, const JournalPathFilter& mayTouch) {
  const std::u16string file = JournalPath(folder);
  if (!FileExists(file)) return false;
  std::string text;
  {
    FileStream journal(file, FileStream::Mode::OpenRead);
    const std::int64_t size = journal.Size();
    if (size > 0 && size <= kLargestJournal) {
      text.resize(static_cast<std::size_t>(size));
      journal.ReadBuffer(text.data(), text.size());
    }
  }
  const std::vector<Entry> entries = ParseJournal(text);
  const auto allowed = [&](const std::u16string& path) { return Storable(path) && mayTouch(path); };
  const bool committed =
      std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return e.kind == kCommitted; });
  if (committed) {
    if (RemoveAsides(entries, allowed)) (void)RemoveFile(file);
  } else {
    Undo(entries, allowed, [&] { (void)RemoveFile(file); });
  }
  return true;
}

}  // namespace setup
