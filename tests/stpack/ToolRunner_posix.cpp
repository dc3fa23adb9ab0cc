#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <functional>
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

namespace {
class OwnedDescriptor {
 public:
  explicit OwnedDescriptor(int fd) : fd_(fd) {}
  ~OwnedDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  OwnedDescriptor(const OwnedDescriptor&) = delete;
  OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Starts the tool with standard error opened on `errPath`. `collect`, when given, runs
// repeatedly until the child has ended (it should wait a little each time).
ToolResult Spawn(const std::vector<std::u16string>& arguments, const std::string& errPath,
                 const std::function<void(ToolResult&)>& collect, const std::string& outPath = {}) {
  const TempFolder outputs;
  const std::string outFile = outPath.empty() ? (outputs.Path() / "out").string() : outPath;
  std::vector<std::string> texts{ToUtf8(ToolPath())};
  for (const std::u16string& argument : arguments) texts.push_back(ToUtf8(argument));
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  FileActions actions;
  posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, errPath.c_str(), O_RDWR | O_NOCTTY, 0);
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], actions.get(), nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + texts[0]);
  }
  ToolResult result;
  int status = 0;
  if (collect) {
    do {
      collect(result);
    } while (waitpid(child, &status, WNOHANG) != child);
    collect(result);
  } else {
    while (waitpid(child, &status, 0) != child) {
    }
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (outPath.empty()) result.out = ReadWhole(outFile);
  return result;
}
}  // namespace

ToolResult RunToolWithTerminal(const std::vector<std::u16string>& arguments) {
  const OwnedDescriptor terminal(posix_openpt(O_RDWR | O_NOCTTY));
  if (terminal.get() < 0 || grantpt(terminal.get()) != 0 || unlockpt(terminal.get()) != 0) {
    throw std::runtime_error("no pseudo-terminal");
  }
  const std::string device = ptsname(terminal.get());
  // The tool's output is read while it runs, so a full terminal buffer cannot stall it.
  return Spawn(arguments, device, [&](ToolResult& result) {
    pollfd ready{terminal.get(), POLLIN, 0};
    while (poll(&ready, 1, 20) > 0 && (ready.revents & POLLIN)) {
      char buffer[4096];
      const ssize_t got = read(terminal.get(), buffer, sizeof buffer);
      if (got <= 0) break;
      result.err.append(buffer, static_cast<std::size_t>(got));
    }
  });
}

ToolResult RunTool(const std::vector<std::u16string>& arguments) { return RunToolWithStdout(arguments, {}); }

ToolResult RunToolWithStdout(const std::vector<std::u16string>& arguments, const std::string& stdoutPath) {
  const TempFolder errors;
  const std::filesystem::path errFile = errors.Path() / "err";
  std::ofstream{errFile};  // standard error is opened on it without O_CREAT
  ToolResult result = Spawn(arguments, errFile.string(), nullptr, stdoutPath);
  result.err = ReadWhole(errFile);
  return result;
}

}  // namespace setup::testing_support
