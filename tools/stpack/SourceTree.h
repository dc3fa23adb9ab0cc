// The files below a source folder, as the rows of a package in their stable order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace setup::stpack {

// The top-level folder whose files go to the system folder on the target machine.
inline constexpr std::u16string_view kSystemFolderName = u"$System$";

struct SourceFile {
  std::filesystem::path path;  // the file on this machine
  std::u16string packagePath;  // relative path with "\" between the parts; the sort key
  std::u16string folder;       // column 0: "" , "sub\deeper\" or "$System$" + "rest\"
  std::u16string name;         // column 1: the file name
  std::uintmax_t size = 0;
};

// What the walk does with a link (a symbolic link, or on Windows any reparse point such as a
// junction) below the folder. A link could carry files from anywhere on the publisher's machine
// into a package, so none is followed unless the publisher allows it.
enum class LinkPolicy {
  Refuse,         // every link is refused
  AllowInternal,  // a link to a regular file inside the folder is packed as that file
};

// Every regular file below `folder` (other special files left out), sorted by package path in
// code-unit order. `skip`, when it names an existing file below `root` (the package being
// written), is left out. Raises Exception, naming the path relative to `folder`, for a link the
// policy does not allow (links to folders, dangling links and links leading out of `folder` are
// never allowed), for a name that a package cannot carry faithfully: one holding "\", ":" or a
// control character, a folder name holding "," or "|" (the folder column has no escapes), or a
// top-level folder starting with "$" other than "$System$" (the installer would take it for a
// folder macro), and for two paths that differ only in ASCII letter case (one file on Windows).
std::vector<SourceFile> ScanSourceFolder(const std::filesystem::path& folder, const std::filesystem::path& skip,
                                         LinkPolicy links = LinkPolicy::Refuse);

}  // namespace setup::stpack
