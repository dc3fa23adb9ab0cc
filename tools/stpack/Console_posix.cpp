#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "base/Errors.h"
#include "base/Platform.h"
#include "base/Text.h"
#include "tools/stpack/Console.h"

namespace setup::stpack {

namespace {
void WriteUtf8(std::FILE* stream, std::u16string_view name, std::u16string_view text) {
  const std::string bytes = ToUtf8(text);
  errno = 0;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
  if (std::fflush(stream) != 0 || !written || std::ferror(stream)) {
    const int error = errno;
    std::clearerr(stream);
    throw Exception(
        FormatText(u"Cannot write to %s. %s", {name, platform::SystemErrorText(static_cast<unsigned long>(error))}));
  }
}
}  // namespace

void WriteStdout(std::u16string_view text) { WriteUtf8(stdout, u"standard output", text); }
void WriteStderr(std::u16string_view text) { WriteUtf8(stderr, u"standard error", text); }
bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace setup::stpack
