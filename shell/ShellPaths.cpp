#include "shell/ShellPaths.h"

namespace setup {

namespace {
constexpr std::u16string_view kFolderDelimiters = u"\\:";
}

std::u16string FolderPart(std::u16string_view path) {
  const auto last = path.find_last_of(kFolderDelimiters);
  if (last == std::u16string_view::npos) return {};
  return std::u16string(path.substr(0, last + 1));
}

std::u16string ShortcutFileName(std::u16string_view linkName) {
  const auto lastDelimiter = linkName.find_last_of(kFolderDelimiters);
  const auto nameStart = lastDelimiter == std::u16string_view::npos ? 0 : lastDelimiter + 1;
  std::u16string_view name = linkName.substr(nameStart);
  const auto dot = name.rfind(u'.');
  if (dot != std::u16string_view::npos) name = name.substr(0, dot);
  return std::u16string(name) + u".lnk";
}

}  // namespace setup
