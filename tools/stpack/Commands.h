// The tool's commands: each has its help text, its options and its run function.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "tools/stpack/Arguments.h"
#include "tools/stpack/SourceTree.h"
#include "tools/stpack/Stpack.h"

namespace setup::stpack {

struct Command {
  std::u16string_view name;
  std::u16string_view help;  // shown by "stpack NAME --help"
  std::span<const OptionDefinition> options;
  std::size_t positionals;  // exact number of positional arguments
  // Returns the exit status; failures raise.
  int (*run)(const ParsedArguments& arguments);
};

// Options every command accepts, before or after its name.
inline constexpr std::u16string_view kHelpOption = u"--help";
inline constexpr std::u16string_view kCodePageOption = u"--codepage";
// The commands that walk a folder (pack and build) take this flag.
inline constexpr std::u16string_view kAllowInternalLinksOption = u"--allow-internal-links";

inline LinkPolicy LinkPolicyOf(const ParsedArguments& arguments) {
  return arguments.Has(kAllowInternalLinksOption) ? LinkPolicy::AllowInternal : LinkPolicy::Refuse;
}

const Command& PackCommand();
const Command& ListCommand();
const Command& VerifyCommand();
const Command& ExtractCommand();
const Command& BuildCommand();
const Command& ManifestCommand();

}  // namespace setup::stpack
