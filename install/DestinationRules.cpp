#include "install/DestinationRules.h"

namespace setup {

namespace {

// Only the letters a-z have an upper case here, as drive letters do.
char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool IsBlankOrControl(char16_t c) { return c <= u' '; }

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::u16string UpperAsciiText(std::u16string_view text) {
  std::u16string upper(text);
  for (char16_t& c : upper) c = UpperAscii(c);
  return upper;
}

// Both ending in one "\\", compared as the file system compares names (ASCII without case, as
// every folder in question is named).
bool SameFolder(std::u16string_view a, std::u16string_view b) {
  std::u16string x = UpperAsciiText(a), y = UpperAsciiText(b);
  while (!x.empty() && IsSeparator(x.back())) x.pop_back();
  while (!y.empty() && IsSeparator(y.back())) y.pop_back();
  return !x.empty() && x == y;
}

}  // namespace

bool IsOnFixedDrive(std::u16string_view text, std::u16string_view fixedDriveLetters) {
  if (text.empty()) return false;
  if (fixedDriveLetters.find(UpperAscii(text.front())) == std::u16string_view::npos) return false;
  return text.substr(1, 2) == u":\\";
}

std::u16string NormaliseSetupDir(std::u16string_view text) {
  std::u16string folder(text);
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  std::size_t first = 0;
  while (first < folder.size() && IsBlankOrControl(folder[first])) ++first;
  std::size_t end = folder.size();
  while (end > first && IsBlankOrControl(folder[end - 1])) --end;
  return folder.substr(first, end - first);
}

std::optional<std::u16string> CanonicalDestination(std::u16string_view folder) {
  if (folder.size() < 3 || !IsAsciiLetter(folder[0]) || folder[1] != u':' || !IsSeparator(folder[2]))
    return std::nullopt;
  std::vector<std::u16string> steps;
  std::size_t start = 3;
  while (start <= folder.size()) {
    std::size_t end = start;
    while (end < folder.size() && !IsSeparator(folder[end])) ++end;
    std::u16string step(folder.substr(start, end - start));
    start = end + 1;
    if (step == u"..") {
      if (!steps.empty()) steps.pop_back();
      continue;
    }
    // The system drops a step's trailing dots and blanks ("a." and "a " name "a"; "." names
    // the folder itself).
    while (!step.empty() && (step.back() == u'.' || step.back() == u' ')) step.pop_back();
    if (!step.empty()) steps.push_back(std::move(step));
  }
  std::u16string canonical{UpperAscii(folder[0]), u':', u'\\'};
  for (const std::u16string& step : steps) canonical += step + u'\\';
  return canonical;
}

bool IsReservedDestination(std::u16string_view canonical, const std::vector<std::u16string>& systemFolders) {
  if (canonical.size() <= 3) return true;  // "X:\\", a drive's root
  for (const std::u16string& folder : systemFolders)
    if (SameFolder(canonical, folder)) return true;
  return false;
}

}  // namespace setup
