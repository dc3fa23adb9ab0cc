// A folder that files are written into, reached from a trusted base folder without following
// links below it. Setup runs as administrator and the folders below the destination (or the
// system folder) may be writable by anyone: a symbolic link, junction or other reparse point
// planted there would send an administrator's write elsewhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

class TargetFolder {
 public:
  enum class Missing { Stop, Create };

  // Opens base, which may itself be a link (the user chose it), then each component of relative
  // ("sub\deeper\", "/" also separates) without following a link. Missing components (and a
  // missing base) are made (Missing::Create) or end the walk (Missing::Stop: only the existing
  // ones are checked).
  // Each component reached is held while the object lives, so that it cannot be swapped for a
  // link meanwhile. Raises EPackageError::LinkInTargetFolder naming the first component that is
  // a link or reparse point. A component that cannot be made or is not a folder leaves the
  // object without a folder (IsOpen false, the reason in the thread's last error), so that the
  // file written there fails with its own name.
  TargetFolder(std::u16string base, std::u16string_view relative, Missing missing);
  ~TargetFolder();
  TargetFolder(TargetFolder&& other) noexcept;
  TargetFolder& operator=(TargetFolder&&) = delete;
  TargetFolder(const TargetFolder&) = delete;
  TargetFolder& operator=(const TargetFolder&) = delete;

  // True when every component was reached: files can be made in the folder.
  bool IsOpen() const noexcept { return open_; }
  // The system's text for why a component could not be reached or made (empty when open).
  const std::u16string& FailureText() const noexcept { return failure_; }
  // base with a separator at its end (unless empty: the current folder), then relative as given.
  const std::u16string& Path() const noexcept { return path_; }
  // The held folder: a file descriptor on POSIX, a HANDLE on Windows (-1 when not open).
  std::intptr_t Handle() const noexcept { return handles_.empty() || !open_ ? -1 : handles_.back(); }

 private:
  // Platform part. OpenBase opens the base as it stands; OpenComponent opens or makes one
  // component (at path, for Windows and for the message) below the last held folder and
  // returns false when that is not possible; both push the handle they open.
  bool OpenBase(const std::u16string& path);
  bool OpenComponent(std::u16string_view component, Missing missing, const std::u16string& path);
  static void CloseHandle(std::intptr_t handle) noexcept;
  // Records why the walk stopped: "Unable to create directory "<folder>". <reason>".
  void Fail();

  std::u16string path_;
  std::u16string failure_;
  std::vector<std::intptr_t> handles_;  // the base first, then each component reached
  bool open_ = false;
};

}  // namespace setup
