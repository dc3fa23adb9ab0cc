// The list of files that a product's package installs into the install folder, as Uninst.exe
// carries it (the resource "UNINSTALLFILES").
//
// Format: UTF-8 text (a byte-order mark is allowed), one path per line, relative to the install
// folder, with "\" (or "/") between folders; lines end in LF or CR LF; blank lines are skipped.
// Files for the system folder are shared with other products and are never listed. Every entry
// must be a safe relative path (base/SafePath.h), the rules the extractor applies to a package:
// no drive, no leading "\", no empty component, no component made only of dots and spaces, no
// reserved device name, no ":", no control character; besides, none of the characters that
// Windows file names cannot hold and no malformed UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Errors.h"

namespace setup {

// A list that breaks the format: "Invalid file list entry on line %d: %s".
class EFileListError : public Exception {
 public:
  using Exception::Exception;
};

// The entries in order, with "\" as the only separator. Raises EFileListError on the first entry
// that breaks the format, so a damaged list removes nothing.
std::vector<std::u16string> ParseFileList(std::string_view utf8);

// Whether one entry names a file inside the install folder (the rules above).
bool IsInstallFolderPath(std::u16string_view path);

// The folders that hold the listed files, below the install folder, each once, deepest first, so
// removing them in this order empties a parent before it is tried.
std::vector<std::u16string> FoldersOfFiles(const std::vector<std::u16string>& files);

}  // namespace setup
