// Setup.exe's command line:
//   /S           install without a window; the exit code tells the outcome
//   /ALLOWDOWNGRADE  let an older version replace a newer one (refused otherwise with /S)
//   /D=folder    the destination; it comes last and is the rest of the line, blanks included
//                (a quoted "/D=folder" is taken as well)
//   /LOG=file    write every step and file to this file (UTF-8); quotes may surround it
//   /?           show the usage
// Switch names are matched without regard to case. Anything else makes the line invalid.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup {

struct SetupCommand {
  bool valid = true;
  bool silent = false;
  bool usage = false;
  bool allowDowngrade = false;
  std::optional<std::u16string> destination;
  std::u16string logFile;
};

// `arguments` is the command line without the program's own name.
SetupCommand ParseSetupCommand(std::u16string_view arguments);

// What follows the program's name (quoted or not) in a whole command line.
std::u16string_view ArgumentsOf(std::u16string_view commandLine);

}  // namespace setup
