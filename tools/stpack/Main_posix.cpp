// Arguments on this system arrive as UTF-8.
#include <string>
#include <vector>

#include "base/Text.h"
#include "tools/stpack/Stpack.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(setup::FromUtf8(argv[i]));
  return setup::stpack::RunStpack(arguments);
}
