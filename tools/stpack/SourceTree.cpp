#include "tools/stpack/SourceTree.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "base/Errors.h"
#include "base/FileSystem.h"
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

// The relative path as the package writes it, for messages about entries that never become rows.
std::u16string PackagePathText(const fs::path& relative) {
  std::u16string text;
  for (const fs::path& part : relative) {
    if (!text.empty()) text += u'\\';
    text += TextFromPath(part);
  }
  return text;
}

bool IsInside(const fs::path& path, const fs::path& folder) {
  const auto [inFolder, inPath] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return inFolder == folder.end() && inPath != path.end();
}

// The file a link stands for, when the policy allows the link; raises otherwise. `root` is the
// folder's canonical path, so a target is compared with it after every link on its way is resolved.
fs::path LinkedFile(const fs::path& link, const fs::path& relative, const fs::path& root, LinkPolicy links) {
  const std::u16string name = PackagePathText(relative);
  if (links == LinkPolicy::Refuse) {
    RejectName(name,
               u"it is a link (symbolic link, junction or other reparse point); stpack follows no links "
               u"(--allow-internal-links packs links to files inside the folder)");
  }
  std::error_code error;
  const fs::path target = fs::canonical(link, error);
  if (error || !fs::exists(target, error)) RejectName(name, u"it is a link to nothing that exists");
  if (!IsInside(target, root)) {
    RejectName(name, FormatText(u"it is a link to \"%s\", outside the folder", {TextFromPath(target)}));
  }
  if (fs::is_directory(target, error)) RejectName(name, u"it is a link to a folder; only links to files are packed");
  if (!fs::is_regular_file(target, error)) RejectName(name, u"it is a link to something other than a file");
  return target;
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

std::vector<SourceFile> ScanSourceFolder(const fs::path& folder, const fs::path& skip, LinkPolicy links) {
  if (!fs::is_directory(folder)) {
    throw Exception(FormatText(u"\"%s\" is not a folder", {TextFromPath(folder)}));
  }
  // A trailing separator would give the relative paths an empty first part.
  fs::path root = fs::absolute(folder).lexically_normal();
  if (!root.has_filename() && root.has_relative_path()) root = root.parent_path();
  // The folder itself may be reached through a link: the publisher named it.
  const fs::path resolvedRoot = fs::canonical(root);
  std::vector<SourceFile> files;
  // The walk does not descend through links to folders; each link is met as an entry of its own.
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const fs::directory_entry& item = *it;
    const fs::path relative = item.path().lexically_relative(root);
    fs::path file = item.path();
    if (IsLink(TextFromPath(file))) {
      file = LinkedFile(file, relative, resolvedRoot, links);
    } else if (!item.is_regular_file()) {
      continue;
    }
    if (IsSameFile(file, skip)) continue;
    SourceFile entry = Describe(file, relative);
    entry.size = fs::file_size(file);
    files.push_back(std::move(entry));
  }
  std::sort(files.begin(), files.end(),
            [](const SourceFile& a, const SourceFile& b) { return a.packagePath < b.packagePath; });
  RejectCaseTwins(files);
  return files;
}

}  // namespace setup::stpack
