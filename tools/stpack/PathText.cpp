#include "tools/stpack/PathText.h"

#include "base/Text.h"

namespace setup::stpack {

#ifdef _WIN32
std::filesystem::path PathFromText(const std::u16string& text) { return std::filesystem::path(text); }
std::u16string TextFromPath(const std::filesystem::path& path) { return path.u16string(); }
#else
std::filesystem::path PathFromText(const std::u16string& text) { return std::filesystem::path(ToUtf8(text)); }
std::u16string TextFromPath(const std::filesystem::path& path) { return FromUtf8(path.native()); }
#endif

}  // namespace setup::stpack
