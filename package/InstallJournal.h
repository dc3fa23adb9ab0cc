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
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace setup {

class InstallJournal {
 public:
  // The journal's file name inside the destination folder.
  static constexpr char16_t kFileName[] = u"~stpinstall.jnl";

  // Starts a new journal in `folder` (which exists), recording first the folders that the caller
  // has just created for it, outermost first. Raises EFCreateError when the journal cannot be
  // created, also when one is already there (recover it first).
  InstallJournal(const std::u16string& folder, const std::vector<std::u16string>& createdFolders);
  // Rolls back unless committed.
  ~InstallJournal();
  InstallJournal(const InstallJournal&) = delete;
  InstallJournal& operator=(const InstallJournal&) = delete;

  // Creates the folder and its missing parents, recording each one before it is made. Raises
  // EInOutError when one cannot be made.
  void CreateFolders(const std::u16string& folder);
  // Records a temporary file that this attempt has made; rollback removes it if it is still there.
  void TemporaryFile(const std::u16string& file);
  // Records a file that this attempt has created at a name no file had; rollback removes it.
  void NewFile(const std::u16string& target);
  // Makes way for a new file at `target`: an existing file there is moved aside first. Rollback
  // removes the new file and moves the old one back. Raises EFCreateError naming the target when
  // the existing file cannot be moved (in use, access denied).
  void PrepareTarget(const std::u16string& target);

  // Keeps the changes: removes the moved-aside files and the journal. True when all of them went;
  // a moved-aside file that stays (in use) is left for the next run's recovery to remove.
  bool Commit();
  // Undoes every change, last first, and removes the journal. Best effort: it goes on past a step
  // that fails.
  void Rollback() noexcept;

  const std::u16string& FileName() const noexcept { return file_; }

 private:
  void Append(char16_t kind, const std::u16string& path, const std::u16string& second = {});
  // Returns once the entries so far are on the disk; raises EFCreateError naming the journal.
  void ForceToDisk();

  std::u16string file_;
  std::intptr_t handle_;  // the open journal file: HANDLE on Windows, file descriptor elsewhere
  struct Entry {
    char16_t kind;
    std::u16string path;
    std::u16string second;
  };
  std::vector<Entry> entries_;
  bool finished_ = false;
};

// Decides whether recovery may touch a path that a journal on disk names.
using JournalPathFilter = std::function<bool(const std::u16string& path)>;

// Rolls back what the journal in `folder` records, for an attempt that never finished, and
// removes the journal. An entry naming a path that `mayTouch` refuses is skipped, so a journal
// someone else wrote cannot make the installer delete or move files elsewhere. False when there
// was no journal.
bool RecoverInstallJournal(const std::u16string& folder, const JournalPathFilter& mayTouch);

}  // namespace setup
