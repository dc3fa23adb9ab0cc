#include "package/PackagePaths.h"

#include "base/SafePath.h"
#include "base/Text.h"

namespace setup {

namespace {

bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && SameTextIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoreCase(std::u16string_view text, std::u16string_view part) {
  for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (SameTextIgnoreCase(text.substr(i, part.size()), part)) return true;
  }
  return false;
}

}  // namespace

bool IsSafeRelativeFolder(std::u16string_view folder) {
  if (folder.empty()) return true;
  // The folder text is followed directly by the file name, so it may end in its separator.
  if (folder.back() == u'\\' || folder.back() == u'/') folder.remove_suffix(1);
  return IsSafeRelativePath(folder);
}

bool IsSafeTargetFolder(std::u16string_view folder) {
  return folder.starts_with(u'$') ? MacroRemainder(folder).has_value() : IsSafeRelativeFolder(folder);
}

bool IsSafeName(std::u16string_view name) { return IsSafeRelativePath(name); }

std::u16string_view LastNameComponent(std::u16string_view name) {
  const std::size_t cut = name.find_last_of(u"\\/:");
  return cut == std::u16string_view::npos ? name : name.substr(cut + 1);
}

std::optional<std::u16string_view> MacroRemainder(std::u16string_view folder) {
  const std::u16string_view macro =
      folder.find(u"System") != std::u16string_view::npos ? std::u16string_view(u"$System$") : u"$Third$";
  if (!StartsWithIgnoreCase(folder, macro)) return std::nullopt;
  const std::u16string_view rest = folder.substr(macro.size());
  if (ContainsIgnoreCase(rest, macro) || !IsSafeRelativeFolder(rest)) return std::nullopt;
  return rest;
}

}  // namespace setup
