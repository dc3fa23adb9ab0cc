// The platform part of the install journal: a file created exclusively (never through an
// existing name or link), appended to through the system's cache, and forced to the disk only
// when the journal asks; the protected folder it lies in; and the checks an existing journal
// must pass before recovery believes a word of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace setup::journal_file {

inline constexpr std::intptr_t kNoFile = -1;

// kNoFile when the file exists already or cannot be made; LastErrorText tells why.
std::intptr_t CreateExclusive(const std::u16string& path);
bool Append(std::intptr_t file, const void* data, std::size_t size);
// Returns once everything appended so far is on the disk.
bool Flush(std::intptr_t file);
void Close(std::intptr_t file);

enum class Trust { Trusted, Missing, Refused };
// Opens an existing journal for reading when it can be trusted: a plain file, not a link or
// reparse point, with no other name (hard link), owned by the system, the administrators or the
// owner this process gives what it creates. `file` is set only when Trusted.
Trust OpenTrusted(const std::u16string& path, std::intptr_t& file);
// Reads the whole file, at most `limit` bytes; false when it is larger or cannot be read.
bool ReadAll(std::intptr_t file, std::string& text, std::size_t limit);

// Who may write into a journal folder besides the system and the administrators: nobody (the
// journals of machine-wide installs), or its owner too (those of one user's own installs, in that
// user's profile, made without elevation).
enum class JournalWriters { Administrators, AdministratorsAndOwner };

// Makes `path` (whose parent exists) a folder that only those writers can write into, or checks
// the one that is there: false when it cannot be made, or when what is there is a link or
// reparse point, not a folder, or owned by anyone else.
bool MakeProtectedFolder(const std::u16string& path, JournalWriters writers);

}  // namespace setup::journal_file
