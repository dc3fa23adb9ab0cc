#include "package/JournalEntries.h"

#include <algorithm>

#include "base/FileSystem.h"
#include "base/Text.h"

namespace setup {

namespace {

constexpr std::size_t kToolNameDigits = 16;

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

// No step of the text is empty, "." or "..", and no character is a control character.
bool PlainSteps(std::u16string_view rest, bool allowEmptyLast) {
  if (std::any_of(rest.begin(), rest.end(), [](char16_t c) { return c < u' '; })) return false;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = start;
    while (end < rest.size() && !IsPathDelimiter(rest[end])) ++end;
    const std::u16string_view step = rest.substr(start, end - start);
    if (end == rest.size() && step.empty() && allowEmptyLast) return true;
    if (step.empty() || step == u"." || step == u"..") return false;
    start = end + 1;
  }
  return true;
}

std::u16string_view LastName(std::u16string_view path) {
  std::size_t cut = path.size();
  while (cut > 0 && !IsPathDelimiter(path[cut - 1])) --cut;
  return path.substr(cut);
}

std::u16string_view FolderPart(std::u16string_view path) { return path.substr(0, path.size() - LastName(path).size()); }

std::u16string WithoutTrailingDelimiter(std::u16string path) {
  while (path.size() > 1 && IsPathDelimiter(path.back())) path.pop_back();
  return path;
}

}  // namespace

bool SamePath(std::u16string_view a, std::u16string_view b) {
#ifdef _WIN32
  return SameTextIgnoreCase(a, b);
#else
  return a == b;
#endif
}

bool StartsWithPath(std::u16string_view path, std::u16string_view prefix) {
  return path.size() >= prefix.size() && SamePath(path.substr(0, prefix.size()), prefix);
}

bool IsToolName(std::u16string_view name, std::u16string_view extension) {
  if (name.size() != 4 + kToolNameDigits + extension.size()) return false;
  if (!SamePath(name.substr(0, 4), u"~stp") || !SamePath(name.substr(4 + kToolNameDigits), extension)) return false;
  const std::u16string_view digits = name.substr(4, kToolNameDigits);
  return std::all_of(digits.begin(), digits.end(), IsHexDigit);
}

std::vector<JournalEntry> ParseJournal(std::string_view text) {
  std::vector<JournalEntry> entries;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;
    const std::u16string line = FromUtf8(text.substr(start, end - start));
    start = end + 1;
    if (line.size() < 2 || line[1] != u'\t') continue;
    JournalEntry entry{line[0], line.substr(2), {}};
    const std::size_t tab = entry.path.find(u'\t');
    if (tab != std::u16string::npos) {
      entry.second = entry.path.substr(tab + 1);
      entry.path.resize(tab);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string JournalLine(const JournalEntry& entry) {
  std::u16string line(1, entry.kind);
  line += u'\t';
  line += entry.path;
  if (!entry.second.empty()) line += u'\t' + entry.second;
  line += u'\n';
  return ToUtf8(line);
}

std::optional<ReachablePath> SplitInScope(const JournalScope& scope, const std::u16string& path) {
  for (const std::u16string* base : {&scope.destination, &scope.systemFolder}) {
    if (base->empty() || path.size() <= base->size() || !StartsWithPath(path, *base)) continue;
    const std::u16string_view rest = std::u16string_view(path).substr(base->size());
    if (!PlainSteps(rest, false)) return std::nullopt;
    const std::u16string_view name = LastName(rest);
    return ReachablePath{*base, std::u16string(rest.substr(0, rest.size() - name.size())), std::u16string(name)};
  }
  return std::nullopt;
}

bool EntryAllowed(const JournalScope& scope, const JournalEntry& entry) {
  const auto inDestination = [&](const std::u16string& path) {
    const auto split = SplitInScope(scope, path);
    return split && split->base == scope.destination;
  };
  const auto isSystemTarget = [&](const std::u16string& path) {
    return std::any_of(scope.systemTargets.begin(), scope.systemTargets.end(),
                       [&](const std::u16string& target) { return SamePath(target, path); });
  };
  switch (entry.kind) {
    case kJournalFolder: {
      const std::u16string folder = WithoutTrailingDelimiter(entry.path);
      // The destination itself and the folders made above it for it (the destination is whole,
      // so a prefix of it at a separator is one of its own folders).
      if (StartsWithPath(scope.destination, IncludeTrailingPathDelimiter(folder))) return true;
      if (inDestination(folder)) return true;
      // In the system folder only on the way to one of the package's own files.
      const auto split = SplitInScope(scope, folder);
      if (!split || split->base != scope.systemFolder) return false;
      const std::u16string prefix = IncludeTrailingPathDelimiter(folder);
      return std::any_of(scope.systemTargets.begin(), scope.systemTargets.end(),
                         [&](const std::u16string& target) { return StartsWithPath(target, prefix); });
    }
    case kJournalTemporary:
      return SplitInScope(scope, entry.path).has_value() && IsToolName(LastName(entry.path), u".tmp");
    case kJournalNewFile:
      return inDestination(entry.path) || isSystemTarget(entry.path);
    case kJournalAside:
      return inDestination(entry.path) && !isSystemTarget(entry.path) && IsToolName(LastName(entry.second), u".old") &&
             SamePath(FolderPart(entry.second), FolderPart(entry.path));
    case kJournalAtRestart:
      return inDestination(entry.path) && !isSystemTarget(entry.path) && IsToolName(LastName(entry.second), u".tmp") &&
             SamePath(FolderPart(entry.second), FolderPart(entry.path));
    case kJournalCommitted:
      return true;
    default:
      return false;
  }
}

}  // namespace setup
