// Folders, files and paths. Paths are UTF-16 with "\" as the folder separator on Windows;
// on other systems they are turned into UTF-8 and "\" is a folder separator too.
#pragma once

#include <string>

namespace setup {

#ifdef _WIN32
inline constexpr char16_t kPathDelimiter = u'\\';
#else
inline constexpr char16_t kPathDelimiter = u'/';
#endif

bool IsPathDelimiter(char16_t c);
// The path with a folder separator at its end (unchanged when it has one or is empty).
std::u16string IncludeTrailingPathDelimiter(std::u16string path);

bool FileExists(const std::u16string& path);       // a file, not a folder
bool DirectoryExists(const std::u16string& path);  // a folder
// The path itself (not what it leads to) is a symbolic link, or on Windows any reparse point:
// a junction, a mount point or a link of another kind. False when it cannot be examined.
bool IsLink(const std::u16string& path);
// Creates the folder and any missing parents. Raises EInOutError ("Unable to create
// directory") for an empty path; returns false when the folder could not be made.
[[nodiscard]] bool ForceDirectories(std::u16string path);
[[nodiscard]] bool RemoveFile(const std::u16string& path);
[[nodiscard]] bool RemoveEmptyDirectory(const std::u16string& path);  // an empty folder
// Moves a file over an existing one (in the same folder).
[[nodiscard]] bool ReplaceFileWith(const std::u16string& source, const std::u16string& target);

// The system's text for the last failed call on this thread.
std::u16string LastErrorText();

#ifndef _WIN32
// UTF-8 file name for POSIX calls, with "\" turned into "/".
std::string NativePath(const std::u16string& path);
#endif

}  // namespace setup
