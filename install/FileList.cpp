#include "install/FileList.h"

#include <algorithm>
#include <set>

#include "base/SafePath.h"
#include "base/Text.h"

namespace setup {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// What FromUtf8 makes of malformed bytes: such an entry no longer names the file that was
// installed.
constexpr char16_t kReplacementCharacter = u'\uFFFD';
// Characters that no Windows file name holds: no installed file has them, and "?" and "*" would
// be wildcards.
constexpr std::u16string_view kNotInWindowsNames = u"<>\"|?*";

std::size_t Depth(const std::u16string& folder) {
  return static_cast<std::size_t>(std::count(folder.begin(), folder.end(), u'\\'));
}

}  // namespace

bool IsInstallFolderPath(std::u16string_view path) {
  return IsSafeRelativePath(path) && path.find(kReplacementCharacter) == std::u16string_view::npos &&
         path.find_first_of(kNotInWindowsNames) == std::u16string_view::npos;
}

std::vector<std::u16string> ParseFileList(std::string_view utf8) {
  if (utf8.starts_with(kByteOrderMark)) utf8.remove_prefix(kByteOrderMark.size());
  std::vector<std::u16string> files;
  int lineNumber = 0;
  while (!utf8.empty()) {
    ++lineNumber;
    const std::size_t end = utf8.find('\n');
    std::string_view line = utf8.substr(0, end);
    utf8 = end == std::string_view::npos ? std::string_view() : utf8.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;

    std::u16string path = FromUtf8(line);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    if (!IsInstallFolderPath(path)) {
      throw EFileListError(FormatText(u"Invalid file list entry on line %d: %s", {IntToText(lineNumber), path}));
    }
    files.push_back(std::move(path));
  }
  return files;
}

std::vector<std::u16string> FoldersOfFiles(const std::vector<std::u16string>& files) {
  std::set<std::u16string> folders;
  for (const std::u16string& file : files) {
    for (std::size_t separator = file.find(u'\\'); separator != std::u16string::npos;
         separator = file.find(u'\\', separator + 1)) {
      folders.insert(file.substr(0, separator));
    }
  }
  std::vector<std::u16string> ordered(folders.begin(), folders.end());
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const std::u16string& a, const std::u16string& b) { return Depth(a) > Depth(b); });
  return ordered;
}

}  // namespace setup
