// A new file at a target name, written so that a failure at any byte leaves the target as it was:
// where no file has the target name, the file is created there exclusively and removed again
// unless committed; where one has, the new file is written under a temporary name beside it and
// moved over it only when complete, leaving no temporary file on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "package/TargetFolder.h"

namespace setup {

class ReplacingFile {
 public:
  // Creates the file in the target's folder, taken as it stands. Raises EFCreateError naming the
  // target.
  explicit ReplacingFile(const std::u16string& target);
  // Creates the file in folder under name, or under a temporary name that replaces name there
  // when the name is taken (see WritesInPlace); the caller keeps the folder
  // (and so every folder on its way) held until this object is gone, and may write several files
  // into it one after the other. Neither the temporary file nor the final move follows a link: a
  // link at the target name is replaced as a link. Raises EFCreateError naming the target, also
  // when the folder could not be reached.
  ReplacingFile(const TargetFolder& folder, std::u16string_view name);
  // Removes the file it created unless Commit has kept it.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Raises EWriteError ("Stream write error").
  void Write(const void* data, std::size_t size);
  // Closes the file and, unless written in place, moves it over the target. Raises EWriteError
  // when the data cannot be
  // flushed, and EFCreateError naming the target when it cannot be replaced (for example a file
  // in use or a folder of that name).
  void Commit();
  // Closes the file and leaves it under its temporary name, for a move that comes later (the
  // system's, at the next restart, when the target is in use). Raises EWriteError when the data
  // cannot be flushed.
  void KeepUnmoved();

  // True when the file is being written at the target name itself, which was free: a single
  // creation instead of a creation, a look at the target and a move, the slowest steps of
  // writing many small files on some systems.
  bool WritesInPlace() const noexcept { return inPlace_; }
  // The temporary file's full name (the target's own when written in place).
  const std::u16string& TemporaryName() const noexcept { return temporary_; }

 private:
  void Create();
  void CreateTemporary();
  enum class Ending { Done, CloseFailed, MoveFailed };

  // Platform part, relative to the held folder: exclusive creation (false when the name exists),
  // writing, closing, closing and moving in the order the platform does best, removing the
  // temporary file.
  [[nodiscard]] bool CreateExclusive();
  [[nodiscard]] bool WriteSome(const std::uint8_t* data, std::size_t size, std::size_t& written);
  [[nodiscard]] bool Close();
  [[nodiscard]] Ending CloseAndMove();
  void RemoveTemporary() noexcept;

  std::optional<TargetFolder> ownFolder_;  // the folder of a file named by its whole path
  const TargetFolder* folder_;
  std::u16string name_;
  std::u16string temporaryName_;
  std::u16string target_;
  std::u16string temporary_;
  std::intptr_t handle_;  // HANDLE on Windows, file descriptor elsewhere
  bool open_ = false;
  bool committed_ = false;
  bool inPlace_ = false;
};

}  // namespace setup
