// A file written under a temporary name beside its target and moved over the target only when
// complete, so a failure at any byte leaves an existing target as it was and no temporary file.
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
  // Creates a new temporary file in the target's folder, taken as it stands. Raises EFCreateError
  // naming the target.
  explicit ReplacingFile(const std::u16string& target);
  // Creates a new temporary file in folder and replaces name there; the caller keeps the folder
  // (and so every folder on its way) held until this object is gone, and may write several files
  // into it one after the other. Neither the temporary file nor the final move follows a link: a
  // link at the target name is replaced as a link. Raises EFCreateError naming the target, also
  // when the folder could not be reached.
  ReplacingFile(const TargetFolder& folder, std::u16string_view name);
  // Removes the temporary file unless Commit has moved it.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Raises EWriteError ("Stream write error").
  void Write(const void* data, std::size_t size);
  // Closes the file and moves it over the target. Raises EWriteError when the data cannot be
  // flushed, and EFCreateError naming the target when it cannot be replaced (for example a file
  // in use or a folder of that name).
  void Commit();

  const std::u16string& TemporaryName() const noexcept { return temporary_; }

 private:
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
};

}  // namespace setup
