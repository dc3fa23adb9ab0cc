// Splitting a command's arguments into options and positional arguments.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Errors.h"

namespace setup::stpack {

// A command line the tool cannot understand; the tool exits with status 2.
class EUsageError : public Exception {
 public:
  using Exception::Exception;
};

struct OptionDefinition {
  std::u16string_view name;       // "--password"
  std::u16string_view shortName;  // "-o", or empty
  bool takesValue = false;
};

class ParsedArguments {
 public:
  bool Has(std::u16string_view name) const;
  // The last value given for the option.
  std::optional<std::u16string> Value(std::u16string_view name) const;
  std::u16string ValueOr(std::u16string_view name, std::u16string_view fallback) const;
  // The option's value as a whole number in [low, high], or `fallback` when absent; anything
  // else is a usage error that names the option.
  std::int64_t NumberOr(std::u16string_view name, std::int64_t low, std::int64_t high, std::int64_t fallback) const;
  const std::vector<std::u16string>& Positionals() const { return positionals_; }

 private:
  friend ParsedArguments ParseArguments(std::span<const std::u16string>, std::span<const OptionDefinition>);
  std::map<std::u16string, std::u16string, std::less<>> options_;  // flags hold empty text
  std::vector<std::u16string> positionals_;
};

// Accepts "--name value", "--name=value", "-o value" and flags; "--" ends the options, and a
// lone "-" is a positional argument. Raises EUsageError for an unknown option or a missing value.
ParsedArguments ParseArguments(std::span<const std::u16string> arguments, std::span<const OptionDefinition> options);

}  // namespace setup::stpack
