// The platform part of the install journal: a file created exclusively (never through an
// existing name or link), appended to through the system's cache, and forced to the disk only
// when the journal asks.
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

}  // namespace setup::journal_file
