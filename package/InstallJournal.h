// What one install attempt changes on disk, written down as it happens, so that a failure, a
// cancel or the next run after a killed attempt can put everything back.
//
// Every change is recorded before it is made: folders created, temporary files, targets that
// receive a new file, and existing files moved aside (renamed within their own folder, so the work
// is bounded by the number of files, not their size). Commit deletes the moved-aside files and the
// journal; rollback removes what was created and moves the old files back, byte for byte. The
// journal file holds one entry a line in UTF-8, each handed to the system as it is made, so a
// process killed at any point leaves a journal that a later run can roll back. The journal is
// forced to the disk only before a step that a power loss could leave unrecorded and beyond
// repair: before an existing file is moved aside, and once at commit, before the moved-aside
// files are removed. The entries for the folders and files an attempt creates are not forced:
// that would cost a synchronous disk write for every file installed, and a lost one leaves at
// most a file or folder that the attempt made (a power cut may then leave a finished new install
// unmarked, and the next Setup into that folder undoes it before it installs again).
//
// The journal is administrator data: it lies in a folder only administrators and the system can
// write (JournalFolder), named after the product and the destination, never in the destination,
// which its users may be able to write. Recovery still believes only entries that a real install
// of the same scope writes, and every delete and move, of a rollback and of a recovery alike,
// reaches its file through held folders without following a link.
#pragma once

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
  // Makes way for a new file at `target`: an existing file there is moved aside first. Rollback
  // removes the new file and moves the old one back. Raises EFCreateError naming the target when
  // the existing file cannot be moved (in use, access denied).
  void PrepareTarget(const std::u16string& target);
  // Removes files for good once the attempt is committed, as an upgrade drops the files of the
  // version before that this one no longer has: each is moved aside like a replaced file, and
  // rollback moves it back. The records of the whole batch reach the disk once, before the first
  // file moves. A file that is gone, lies outside the destination or behind a link is left alone.
  // At commit the folders that the dropped files leave empty are removed too. Raises EFCreateError
  // naming a file that cannot be moved (in use, access denied).
  void DropFiles(const std::vector<std::u16string>& targets);

  // Keeps the changes: removes the moved-aside files and the journal. True when all of them went;
  // a moved-aside file that stays (in use) is left for the next run's recovery to remove.
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
// skipped.
Recovery RecoverInstallJournal(const JournalScope& scope);

}  // namespace setup
