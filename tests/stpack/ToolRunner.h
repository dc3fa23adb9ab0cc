// Runs the built stpack as a separate process and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace setup::testing_support {

struct ToolResult {
  int exitCode = -1;
  std::string out;  // standard output, UTF-8
  std::string err;  // standard error, UTF-8

  // The last non-empty line of standard error, without its line break.
  std::string LastErrorLine() const;
};

// The stpack program built beside this test program.
std::u16string ToolPath();

// Runs stpack with these arguments (UTF-16 here, UTF-8 or the wide command line for the tool).
// Standard output and error go to files, so neither can block the other.
ToolResult RunTool(const std::vector<std::u16string>& arguments);

#ifndef _WIN32
// As RunTool, with standard error on a pseudo-terminal: what a person at a terminal sees.
// `err` holds what the terminal received.
ToolResult RunToolWithTerminal(const std::vector<std::u16string>& arguments);
// As RunTool, with standard output opened on `stdoutPath` (for example /dev/full); `out` stays
// empty.
ToolResult RunToolWithStdout(const std::vector<std::u16string>& arguments, const std::string& stdoutPath);
#endif

}  // namespace setup::testing_support
