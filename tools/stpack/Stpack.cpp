#include "tools/stpack/Stpack.h"

#include <array>
#include <exception>
#include <filesystem>
#include <new>
#include <vector>

#include "base/CodePage.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "tools/stpack/Arguments.h"
#include "tools/stpack/Commands.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/PrintableText.h"

namespace setup::stpack {

namespace {
constexpr std::u16string_view kToolHelp =
    u"Usage: stpack [--codepage N] COMMAND ARGUMENTS... [OPTIONS]\n"
    u"\n"
    u"Builds, lists, verifies and extracts setup packages; builds a product's Setup.exe and\n"
    u"writes its winget manifests.\n"
    u"\n"
    u"Commands:\n"
    u"  pack SOURCE_DIR -o PACKAGE   pack every file below SOURCE_DIR\n"
    u"  list PACKAGE                 show the package's file table\n"
    u"  verify PACKAGE               check that every stream inflates to its size\n"
    u"  extract PACKAGE DEST         extract the files as the setup wizard does\n"
    u"  build PRODUCT_FILE -o SETUP  make a product's Setup.exe (and its Uninst.exe)\n"
    u"  manifest PRODUCT_FILE SETUP --url URL -o DIR\n"
    u"                               write the winget manifests of a built Setup.exe\n"
    u"\n"
    u"Options for every command:\n"
    u"  --codepage N   ANSI code page used to widen and narrow the table text\n"
    u"                 (default: the system's; 936 reads packages made for a Chinese system)\n"
    u"  -h, --help     show this help, or a command's help after the command's name\n"
    u"\n"
    u"Exit status: 0 success, 1 failure (its reason is the last line on standard error),\n"
    u"2 a command line that cannot be understood.\n";

constexpr std::array<OptionDefinition, 2> kGlobalOptions{{
    {kHelpOption, u"-h", false},
    {kCodePageOption, u"", true},
}};

const Command* FindCommand(std::u16string_view name) {
  for (const Command* command :
       {&PackCommand(), &ListCommand(), &VerifyCommand(), &ExtractCommand(), &BuildCommand(), &ManifestCommand()}) {
    if (command->name == name) return command;
  }
  return nullptr;
}

void ApplyCodePage(const ParsedArguments& arguments) {
  if (arguments.Has(kCodePageOption)) {
    SetAnsiCodePage(static_cast<unsigned>(arguments.NumberOr(kCodePageOption, 1, 65535, 0)));
  }
}

int Run(std::span<const std::u16string> arguments) {
  // Global options may come before the command's name.
  std::size_t at = 0;
  while (at < arguments.size() && arguments[at].starts_with(u'-') && arguments[at] != u"-") {
    const bool takesValue = arguments[at] == kCodePageOption;
    at += takesValue ? 2 : 1;
  }
  const ParsedArguments global = ParseArguments(arguments.first(std::min(at, arguments.size())), kGlobalOptions);
  if (global.Has(kHelpOption)) {
    WriteStdout(kToolHelp);
    return kExitSuccess;
  }
  if (at >= arguments.size()) throw EUsageError(u"no command given");
  const Command* command = FindCommand(arguments[at]);
  if (!command) throw EUsageError(FormatText(u"unknown command \"%s\"", {arguments[at]}));

  std::vector<OptionDefinition> options(command->options.begin(), command->options.end());
  options.insert(options.end(), kGlobalOptions.begin(), kGlobalOptions.end());
  const ParsedArguments parsed = ParseArguments(arguments.subspan(at + 1), options);
  if (parsed.Has(kHelpOption)) {
    WriteStdout(command->help);
    return kExitSuccess;
  }
  if (parsed.Positionals().size() != command->positionals) {
    throw EUsageError(FormatText(u"%s takes %d argument(s), %d given",
                                 {command->name, IntToText(static_cast<std::int64_t>(command->positionals)),
                                  IntToText(static_cast<std::int64_t>(parsed.Positionals().size()))}));
  }
  ApplyCodePage(global);
  ApplyCodePage(parsed);
  return command->run(parsed);
}

// The message alone on the last line; system texts may bring their own line break. Messages
// quote package text, so control characters go out escaped and the message stays one line.
void ReportFailure(std::u16string_view message) {
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.remove_suffix(1);
  }
  WriteStderr(PrintableText(message) + u"\n");
}
}  // namespace

int RunStpack(std::span<const std::u16string> arguments) noexcept {
  try {
    try {
      return Run(arguments);
    } catch (const EUsageError& e) {
      WriteStderr(u"stpack: " + PrintableText(e.Message()) + u"\nTry \"stpack --help\".\n");
      return kExitUsage;
    } catch (const Exception& e) {
      ReportFailure(e.Message());
    } catch (const std::filesystem::filesystem_error& e) {
      ReportFailure(FromUtf8(e.what()));
    } catch (const std::bad_alloc&) {
      ReportFailure(u"Out of memory");
    } catch (const std::exception& e) {
      ReportFailure(FromUtf8(e.what()));
    }
  } catch (...) {
    // Writing the report itself failed; the status still tells.
  }
  return kExitFailure;
}

}  // namespace setup::stpack
