// The arguments are read as UTF-16 from the process's command line, so names in any script
// survive whatever the ANSI code page is.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <string>
#include <vector>

#include "base/Text.h"
#include "base/UniqueOwner.h"
#include "tools/stpack/Console.h"
#include "tools/stpack/Stpack.h"

namespace {
// The argument array is one block from the local heap.
struct LocalMemoryTraits {
  using Handle = LPWSTR*;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle block) noexcept { LocalFree(block); }
};
}  // namespace

int main() {
  int count = 0;
  const setup::UniqueOwner<LocalMemoryTraits> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!argv) {
    setup::stpack::WriteStderr(u"stpack: the command line cannot be read\n");
    return setup::stpack::kExitFailure;
  }
  std::vector<std::u16string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(setup::FromWide(argv.Get()[i]));
  return setup::stpack::RunStpack(arguments);
}
