#include "tools/stpack/Arguments.h"

#include "base/Text.h"

namespace setup::stpack {

namespace {
const OptionDefinition* FindOption(std::span<const OptionDefinition> options, std::u16string_view token) {
  for (const OptionDefinition& option : options) {
    if (token == option.name || (!option.shortName.empty() && token == option.shortName)) return &option;
  }
  return nullptr;
}

bool IsDecimal(std::u16string_view text) {
  if (text.empty() || text.size() > 12) return false;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}
}  // namespace

bool ParsedArguments::Has(std::u16string_view name) const { return options_.find(name) != options_.end(); }

std::optional<std::u16string> ParsedArguments::Value(std::u16string_view name) const {
  const auto found = options_.find(name);
  if (found == options_.end()) return std::nullopt;
  return found->second;
}

std::u16string ParsedArguments::ValueOr(std::u16string_view name, std::u16string_view fallback) const {
  const auto value = Value(name);
  return value ? *value : std::u16string(fallback);
}

std::int64_t ParsedArguments::NumberOr(std::u16string_view name, std::int64_t low, std::int64_t high,
                                       std::int64_t fallback) const {
  const auto value = Value(name);
  if (!value) return fallback;
  if (IsDecimal(*value)) {
    std::int64_t number = 0;
    for (const char16_t c : *value) number = number * 10 + (c - u'0');
    if (number >= low && number <= high) return number;
  }
  throw EUsageError(FormatText(u"%s needs a whole number from %d to %d, not \"%s\"",
                               {name, IntToText(low), IntToText(high), *value}));
}

ParsedArguments ParseArguments(std::span<const std::u16string> arguments, std::span<const OptionDefinition> options) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::u16string& token = arguments[i];
    if (optionsEnded || token.size() < 2 || token[0] != u'-') {
      parsed.positionals_.push_back(token);
      continue;
    }
    if (token == u"--") {
      optionsEnded = true;
      continue;
    }
    std::u16string_view name = token;
    std::optional<std::u16string> inlineValue;
    if (const auto equals = token.find(u'='); token.starts_with(u"--") && equals != std::u16string::npos) {
      name = std::u16string_view(token).substr(0, equals);
      inlineValue = token.substr(equals + 1);
    }
    const OptionDefinition* option = FindOption(options, name);
    if (!option) throw EUsageError(FormatText(u"unknown option \"%s\"", {name}));
    if (!option->takesValue) {
      if (inlineValue) throw EUsageError(FormatText(u"%s takes no value", {option->name}));
      parsed.options_[std::u16string(option->name)].clear();
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= arguments.size()) throw EUsageError(FormatText(u"%s needs a value", {option->name}));
      inlineValue = arguments[++i];
    }
    parsed.options_[std::u16string(option->name)] = *inlineValue;
  }
  return parsed;
}

}  // namespace setup::stpack
