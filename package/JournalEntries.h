// The lines of an install journal and which of them a real install could have written. The
// journal lies where only administrators and the system can write, but recovery still takes
// nothing on trust: an entry must name a path inside the install it belongs to, in the shape the
// install gives it, before recovery deletes or moves anything for it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// What one install may touch: its destination, and in the system folder only the files its own
// package puts there.
struct JournalScope {
  std::u16string journalFile;                 // the journal's full path
  std::u16string destination;                 // ending in a separator
  std::u16string systemFolder;                // ending in a separator; empty when there is none
  std::vector<std::u16string> systemTargets;  // full paths of the package's system-folder files
};

// Entry kinds, the first character of a line.
inline constexpr char16_t kJournalFolder = u'D';     // a folder this attempt created
inline constexpr char16_t kJournalTemporary = u'T';  // a temporary file of the extraction
inline constexpr char16_t kJournalNewFile = u'N';    // a target that receives a new file
inline constexpr char16_t kJournalAside = u'A';      // an existing target moved aside: target, new name
inline constexpr char16_t kJournalAtRestart = u'R';  // a target in use, replaced at the next restart: target, temporary
inline constexpr char16_t kJournalCommitted = u'C';  // the attempt succeeded: only the old files go

struct JournalEntry {
  char16_t kind;
  std::u16string path;
  std::u16string second;
};

// One entry a line ("K<tab>path[<tab>second]<newline>"); a last line without its line break was
// being written when the process ended and is not an entry.
std::vector<JournalEntry> ParseJournal(std::string_view text);
std::string JournalLine(const JournalEntry& entry);

// A path split at the trusted folder it lies in: base (ending in a separator), the folders below
// it (each ending in a separator) and the last name. Empty for a path outside both folders of the
// scope, or one with an empty, "." or ".." step.
struct ReachablePath {
  std::u16string base;
  std::u16string below;
  std::u16string name;
};
std::optional<ReachablePath> SplitInScope(const JournalScope& scope, const std::u16string& path);

// Whether a real install of this scope writes the entry: folders inside the destination or above
// it (made for it), inside the system folder only on the way to one of the package's files;
// temporary files named "~stp<16 hex digits>.tmp"; new files inside the destination or one of the
// package's system files; a file moved aside inside the destination (never in the system folder),
// to "~stp<16 hex digits>.old" in its own folder; a target inside the destination (never in the
// system folder) replaced at the restart by a "~stp<16 hex digits>.tmp" of its own folder.
bool EntryAllowed(const JournalScope& scope, const JournalEntry& entry);

// "~stp<16 hexadecimal digits>" with the given extension (".tmp", ".old"), case as the system's.
bool IsToolName(std::u16string_view name, std::u16string_view extension);

// Path text compared as the platform's file system compares it: without case on Windows.
bool SamePath(std::u16string_view a, std::u16string_view b);
bool StartsWithPath(std::u16string_view path, std::u16string_view prefix);

}  // namespace setup
