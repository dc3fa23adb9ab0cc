#include "install/Versions.h"

#include <algorithm>
#include <vector>

namespace setup {

namespace {

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
  return text;
}

// The numbers of a dotted numeric version without their leading zeros, or nothing. Kept as text,
// so a number of any length compares right.
std::optional<std::vector<std::u16string_view>> Numbers(std::u16string_view version) {
  version = Trimmed(version);
  if (version.empty()) return std::nullopt;
  std::vector<std::u16string_view> numbers;
  for (;;) {
    const std::size_t dot = version.find(u'.');
    std::u16string_view number = version.substr(0, dot);
    if (number.empty()) return std::nullopt;
    for (const char16_t c : number)
      if (c < u'0' || c > u'9') return std::nullopt;
    while (number.size() > 1 && number.front() == u'0') number.remove_prefix(1);
    numbers.push_back(number);
    if (dot == std::u16string_view::npos) return numbers;
    version.remove_prefix(dot + 1);
  }
}

int CompareNumbers(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace

std::optional<int> CompareVersions(std::u16string_view a, std::u16string_view b) {
  const auto left = Numbers(a);
  const auto right = Numbers(b);
  if (!left || !right) return std::nullopt;
  const std::size_t count = std::max(left->size(), right->size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::u16string_view x = i < left->size() ? (*left)[i] : u"0";
    const std::u16string_view y = i < right->size() ? (*right)[i] : u"0";
    if (const int order = CompareNumbers(x, y); order != 0) return order;
  }
  return 0;
}

InstallKind DecideInstallKind(const std::optional<std::u16string>& installed, std::u16string_view carried) {
  if (!installed) return InstallKind::Fresh;
  const std::optional<int> order = CompareVersions(*installed, carried);
  // Versions that cannot be compared are taken as an upgrade: the publisher ships what is newest.
  if (!order) return *installed == carried ? InstallKind::Repair : InstallKind::Upgrade;
  if (*order == 0) return InstallKind::Repair;
  return *order < 0 ? InstallKind::Upgrade : InstallKind::Downgrade;
}

std::u16string_view InstallKindName(InstallKind kind) {
  switch (kind) {
    case InstallKind::Fresh:
      return u"fresh install";
    case InstallKind::Upgrade:
      return u"upgrade";
    case InstallKind::Repair:
      return u"repair";
    case InstallKind::Downgrade:
      return u"downgrade";
  }
  return u"";
}

}  // namespace setup
