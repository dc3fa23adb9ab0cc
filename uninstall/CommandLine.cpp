#include "uninstall/CommandLine.h"

#include <limits>
#include <optional>

#include "base/Text.h"

namespace setup {

namespace {

// A plain decimal number that fits 64 bits, else nothing.
std::optional<std::uint64_t> DecimalNumber(const std::u16string& text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - u'0');
    if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

UninstallCommand ParseUninstallCommand(const std::vector<std::u16string>& arguments) {
  UninstallCommand command;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (SameTextIgnoreCase(arguments[i], u"/S")) {
      command.silent = true;
    } else if (arguments[i].size() > 5 && SameTextIgnoreCase(arguments[i].substr(0, 5), u"/LOG=")) {
      command.logFile = arguments[i].substr(5);
    } else if (SameTextIgnoreCase(arguments[i], u"/Cleanup")) {
      command.cleanup = true;
      if (i + 1 < arguments.size()) command.cleanupHandle = DecimalNumber(arguments[++i]).value_or(0);
    }
  }
  return command;
}

}  // namespace setup
