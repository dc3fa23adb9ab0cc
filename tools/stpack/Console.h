// The tool's text output: UTF-16 text to the standard streams, and whether a person watches.
#pragma once

#include <string_view>

namespace setup::stpack {

// A console gets the text as characters; a pipe or a file gets UTF-8. A write that does not
// reach its stream whole (a full disk, a closed pipe) raises Exception with
// "Cannot write to standard output. <reason>" (or standard error), so the command fails
// instead of reporting success over output that is missing.
void WriteStdout(std::u16string_view text);
void WriteStderr(std::u16string_view text);

// True when standard error is a terminal (a console window on Windows): the progress bar is
// drawn only then, so redirected output stays free of carriage returns.
bool StderrIsTerminal();

}  // namespace setup::stpack
