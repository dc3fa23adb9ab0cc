#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/Text.h"
#include "tools/stpack/Console.h"

namespace setup::stpack {

namespace {
void WriteUtf8(std::FILE* stream, std::u16string_view text) {
  const std::string bytes = ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}
}  // namespace

void WriteStdout(std::u16string_view text) { WriteUtf8(stdout, text); }
void WriteStderr(std::u16string_view text) { WriteUtf8(stderr, text); }
bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace setup::stpack
