#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "ToolRunner.h"
#include "base/Text.h"
#include "tests/support/TempFolder.h"

extern char** environ;

namespace setup::testing_support {

namespace {
std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// posix_spawn_file_actions_t owned for one start.
class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};
}  // namespace

std::u16string ToolPath() {
  char self[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) throw std::runtime_error("cannot find this test program");
  const std::filesystem::path folder =
      std::filesystem::path(std::string(self, static_cast<std::size_t>(length))).parent_path();
  return FromUtf8((folder / STPACK_RELATIVE_PATH).lexically_normal().string());
}

ToolResult RunTool(const std::vector<std::u16string>& arguments) {
  const TempFolder outputs;
  const std::string outFile = (outputs.Path() / "out").string();
  const std::string errFile = (outputs.Path() / "err").string();
  std::vector<std::string> texts{ToUtf8(ToolPath())};
  for (const std::u16string& argument : arguments) texts.push_back(ToUtf8(argument));
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  FileActions actions;
  posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], actions.get(), nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + texts[0]);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  ToolResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadWhole(outFile);
  result.err = ReadWhole(errFile);
  return result;
}

}  // namespace setup::testing_support
