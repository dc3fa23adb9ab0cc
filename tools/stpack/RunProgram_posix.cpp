#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "base/Text.h"
#include "tools/stpack/RunProgram.h"

extern char** environ;

namespace setup::stpack {

int RunProgram(const std::u16string& program, const std::vector<std::u16string>& arguments) {
  std::vector<std::string> texts{ToUtf8(program)};
  for (const auto& argument : arguments) texts.push_back(ToUtf8(argument));
  std::vector<char*> argv;
  for (auto& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, texts[0].c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace setup::stpack
