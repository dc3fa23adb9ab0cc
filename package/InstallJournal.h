// What one install attempt changes on disk, written down as it happens, so that a failure, a
// cancel or the next run after a killed attempt can put everything back.
//
// Every change is recorded before it is made: folders created, temporary files, targets that
// receive a new file, and existing files moved aside (renamed within their own folder, so the work
// is bounded by the number of files, not their size). Commit deletes the moved-aside files and the
// journal; rollback removes what was created and moves the old files back, byte for byte. The
// journal file holds one entry a line in UTF-8, each handed to the system as it is made, so a
// process killed at any point leaves a journal that a later run can roll back.
//
// What must survive a power cut: every file moved aside must be named by an entry already on the
// disk when it moves, or nothing could put it back. The journal is forced to the disk only for
// that, and once at commit before the moved-aside files are removed, and it is forced once for a
// whole batch of files rather than once a file: the extraction reserves the aside entries of the
// next existing targets (ReserveAsides) in one go, with their random aside names, and forces them
// together before the first of them moves. A reserved entry whose file never moved names an aside
// that does not exist (nobody else can know its random name), and rollback and recovery pass over
// an aside that is not there, so reserving ahead is always safe. The entries for the folders and
// files an attempt creates are not forced: that would cost a synchronous disk write for every
// file installed, and a lost one leaves at most a file or folder that the attempt made (a power
// cut may then leave a finished new install unmarked, and the next Setup into that folder undoes
// it before it installs again).
//
// A target that another program holds open cannot be moved aside: its new content stays beside
// it under the temporary name, and the system moves it over the target at the next restart
// (ReplaceAtRestart). The old file stays where it is and keeps working until then. Rollback
// withdraws the pending move and removes the temporary file; a committed attempt with such
// entries keeps its journal, so that the next run, before it installs again, either finishes the
// move (the target is free by then) or leaves it pending, and never removes what it needs.
//
// The journal is administrator data: it lies in a folder only administrators and the system can
// write (JournalFolder), named after the product and the destination, never in the destination,
// which its users may be able to write. Recovery still believes only entries that a real install
// of the same scope writes, and every delete and move, of a rollback and of a recovery alike,
// reaches its file through held folders without following a link.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "package/JournalEntries.h"
#include "package/JournalFile.h"

namespace setup {

class InstallJournal {
 public:
  // Starts a new journal at scope.journalFile, recording first the folders that the caller has
  // just created for the destination, outermost first. Raises EFCreateError when the journal
  // cannot be created, also when one is already there (recover it first).
  InstallJournal(JournalScope scope, const std::vector<std::u16string>& createdFolders);
  // Rolls back unless committed.
  ~InstallJournal();
  InstallJournal(const InstallJournal&) = delete;
  InstallJournal& operator=(const InstallJournal&) = delete;

  // Records the missing folders of base + below (below: "sub\deeper\" or empty), then makes them
  // from base without following a link. Raises EInOutError when the base cannot be made, and
  // EPackageError when a folder on the way is a link.
  void CreateFolders(const std::u16string& base, std::u16string_view below);
  // Records a temporary file that this attempt has made; rollback removes it if it is still there.
  void TemporaryFile(const std::u16string& file);
  // Records a file that this attempt has created at a name no file had; rollback removes it.
  void NewFile(const std::u16string& target);
  // Records, for the existing files among `targets` (the next ones the extraction will replace),
  // the names they will be moved aside to, and forces those entries to the disk once. A target
  // with no reserved name when it is prepared gets one of its own, forced on its own.
  void ReserveAsides(const std::vector<std::u16string>& targets);
  bool HasReservedAside(const std::u16string& target) const { return reserved_.count(target) != 0; }

  enum class Placement { Now, AtRestart };
  // Makes way for the new file at `target`, written as `temporary` beside it: an existing file
  // there is moved aside first. Rollback removes the new file and moves the old one back.
  // AtRestart when the existing file is in use by another program and lies in the destination:
  // nothing has moved, and the caller keeps the new file under its temporary name and calls
  // ReplaceAtRestart. Raises EFCreateError naming the target when the existing file cannot be
  // moved for another reason.
  Placement PrepareTarget(const std::u16string& target, const std::u16string& temporary);
  // Has the system move `temporary` (closed, complete) over `target` at the next restart, and
  // records it. Raises EFCreateError naming the target when the system refuses.
  void ReplaceAtRestart(const std::u16string& target, const std::u16string& temporary);
  // The targets replaced at the next restart, in the order they were scheduled.
  const std::vector<std::u16string>& ReplacedAtRestart() const noexcept { return atRestart_; }
  // Removes files for good once the attempt is committed, as an upgrade drops the files of the
  // version before that this one no longer has: each is moved aside like a replaced file, and
  // rollback moves it back. The records of the whole batch reach the disk once, before the first
  // file moves. A file that is gone, lies outside the destination or behind a link is left alone.
  // At commit the folders that the dropped files leave empty are removed too. Raises EFCreateError
  // naming a file that cannot be moved (in use, access denied).
  void DropFiles(const std::vector<std::u16string>& targets);

  // Keeps the changes: removes the moved-aside files and the journal. True when all of them went;
  // a moved-aside file that stays (in use) is left for the next run's recovery to remove. With
  // targets replaced at the restart the journal stays for the next run (see above).
  bool Commit();
  // Undoes every change, last first, and removes the journal. Best effort: it goes on past a step
  // that fails.
  void Rollback() noexcept;

  const std::u16string& FileName() const noexcept { return scope_.journalFile; }

 private:
  void Append(char16_t kind, const std::u16string& path, const std::u16string& second = {});
  // Returns once the entries so far are on the disk; raises EFCreateError naming the journal.
  void ForceToDisk();

  JournalScope scope_;
  std::intptr_t handle_;  // the open journal file: HANDLE on Windows, file descriptor elsewhere
  std::vector<JournalEntry> entries_;
  std::vector<std::u16string> droppedFolders_;  // the folders of dropped files, removed at commit when empty
  std::multimap<std::u16string, std::u16string> reserved_;  // target, its reserved aside name
  std::vector<std::u16string> atRestart_;
  bool finished_ = false;
};

// The folder for the journals below `parent` (the system's program-data folder), made or checked
// as one only administrators and the system can write. Raises EFCreateError when it cannot be
// made or what is there cannot be trusted (a link, or a folder someone else made).
// For one user's own installs `parent` is that user's local application-data folder, and the
// folders are the user's to write as well.
std::u16string JournalFolder(const std::u16string& parent,
                             journal_file::JournalWriters writers = journal_file::JournalWriters::Administrators);
// The journal's name for one product and destination: "~stp<16 hex digits>.jnl", the digits
// from a hash of both, so that installs of the same product into different folders, and of
// different products, keep their own journals.
std::u16string JournalFileName(std::u16string_view product, std::u16string_view destination);

enum class Recovery { NoJournal, Recovered, Refused };
// Rolls back what the journal at scope.journalFile records, for an attempt that never finished,
// and removes the journal. A journal that cannot be trusted (see journal_file::OpenTrusted) is
// left alone and reported Refused; an entry that a real install of this scope would not write is
// skipped. For a committed attempt whose targets wait for the restart, a target that is free by
// now receives its new file at once; one still in use keeps its pending move.
Recovery RecoverInstallJournal(const JournalScope& scope);

}  // namespace setup
