// File system paths to and from the toolkit's UTF-16 text (UTF-8 names on POSIX systems).
#pragma once

#include <filesystem>
#include <string>

namespace setup::stpack {

std::filesystem::path PathFromText(const std::u16string& text);
// Malformed UTF-8 in a POSIX name becomes U+FFFD, so the text no longer names the file:
// compare PathFromText(TextFromPath(p)) with p to find out.
std::u16string TextFromPath(const std::filesystem::path& path);

}  // namespace setup::stpack
