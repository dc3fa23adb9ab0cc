#include "tools/stpack/SourceTree.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "base/Errors.h"
#include "base/SafePath.h"
#include "base/Text.h"
#include "tools/stpack/PathText.h"

namespace setup::stpack {

namespace fs = std::filesystem;

namespace {
[[noreturn]] void RejectName(std::u16string_view packagePath, std::u16string_view reason) {
  throw Exception(FormatText(u"cannot pack \"%s\": %s", {packagePath, reason}));
}

// Checks one part of a relative path; `isFolder` for the parts that end up in column 0.
void CheckPart(std::u16string_view part, bool isFolder, bool isTopLevel, std::u16string_view packagePath) {
  for (const char16_t c : part) {
    if (IsControlCharacter(c)) RejectName(packagePath, u"the name holds a control character");
    if (c == u'\\' || c == u':') RejectName(packagePath, u"the name holds \"\\\" or \":\"");
    if (isFolder && (c == u',' || c == u'|')) RejectName(packagePath, u"a folder name holds \",\" or \"|\"");
  }
  if (isFolder && isTopLevel && part.starts_with(u'$') && part != kSystemFolderName) {
    RejectName(packagePath, u"only the top-level folder \"$System$\" may start with \"$\"");
  }
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
  std::error_code ignored;
  return !b.empty() && fs::equivalent(a, b, ignored);
}

// Windows folders ignore letter case: two paths that differ only in case would be installed
// into one file, the later overwriting the earlier.
void RejectCaseTwins(const std::vector<SourceFile>& files) {
  std::map<std::u16string, const SourceFile*> seen;
  for (const SourceFile& file : files) {
    std::u16string key = file.packagePath;
    for (char16_t& c : key) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
    const auto [found, added] = seen.emplace(key, &file);
    if (!added) {
      RejectName(file.packagePath,
                 FormatText(u"it differs from \"%s\" only in letter case", {found->second->packagePath}));
    }
  }
}

SourceFile Describe(const fs::path& file, const fs::path& relative) {
  SourceFile entry;
  entry.path = file;
  std::vector<std::u16string> parts;
  for (const fs::path& part : relative) {
    parts.push_back(TextFromPath(part));
    if (PathFromText(parts.back()) != part) RejectName(TextFromPath(relative), u"the name is not valid Unicode text");
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) entry.packagePath += u'\\';
    entry.packagePath += parts[i];
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool isFolder = i + 1 < parts.size();
    CheckPart(parts[i], isFolder, i == 0, entry.packagePath);
  }
  entry.name = parts.back();
  std::size_t first = 0;
  if (parts.size() > 1 && parts[0] == kSystemFolderName) {
    entry.folder = kSystemFolderName;
    first = 1;
  }
  for (std::size_t i = first; i + 1 < parts.size(); ++i) entry.folder += parts[i] + u'\\';
  return entry;
}
}  // namespace

std::vector<SourceFile> ScanSourceFolder(const fs::path& folder, const fs::path& skip) {
  if (!fs::is_directory(folder)) {
    throw Exception(FormatText(u"\"%s\" is not a folder", {TextFromPath(folder)}));
  }
  // A trailing separator would give the relative paths an empty first part.
  fs::path root = fs::absolute(folder).lexically_normal();
  if (!root.has_filename() && root.has_relative_path()) root = root.parent_path();
  std::vector<SourceFile> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const fs::directory_entry& item = *it;
    if (!item.is_regular_file() || IsSameFile(item.path(), skip)) continue;
    SourceFile entry = Describe(item.path(), item.path().lexically_relative(root));
    entry.size = item.file_size();
    files.push_back(std::move(entry));
  }
  std::sort(files.begin(), files.end(),
            [](const SourceFile& a, const SourceFile& b) { return a.packagePath < b.packagePath; });
  RejectCaseTwins(files);
  return files;
}

}  // namespace setup::stpack
