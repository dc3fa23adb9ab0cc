// The arguments are read as UTF-16 from the process's command line, so names in any script
// survive whatever the ANSI code page is.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "base/Text.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/Stpack.h"

namespace {
struct LocalFreeDeleter {
  void operator()(LPWSTR* block) const noexcept { LocalFree(block); }
};
}  // namespace

int main() {
  int count = 0;
  const std::unique_ptr<LPWSTR, LocalFreeDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!argv) {
    setup::stpack::WriteStderr(u"stpack: the command line cannot be read\n");
    return setup::stpack::kExitFailure;
  }
  std::vector<std::u16string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(setup::FromWide(argv.get()[i]));
  return setup::stpack::RunStpack(arguments);
}
