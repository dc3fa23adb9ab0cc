#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "ToolRunner.h"
#include "base/Text.h"
#include "tests/support/TempFolder.h"

namespace setup::testing_support {

namespace {
std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

OwnedHandle InheritableFile(const std::filesystem::path& file, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE handle = CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open a file for the tool's output");
  return OwnedHandle(handle);
}

// The quoting that CommandLineToArgvW undoes: backslashes double only before a quote.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    line.append(backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}
}  // namespace

std::u16string ToolPath() {
  wchar_t self[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("cannot find this test program");
  const std::filesystem::path folder = std::filesystem::path(self).parent_path();
  return (folder / STPACK_RELATIVE_PATH).lexically_normal().u16string();
}

ToolResult RunTool(const std::vector<std::u16string>& arguments) {
  const TempFolder outputs;
  const std::u16string tool = ToolPath();
  std::wstring line;
  AppendQuoted(line, std::wstring(tool.begin(), tool.end()));
  for (const std::u16string& argument : arguments) {
    line += L' ';
    AppendQuoted(line, std::wstring(argument.begin(), argument.end()));
  }
  ToolResult result;
  {
    // The tool's output files stay open only in this block, so they can be read afterwards.
    const OwnedHandle in = InheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    const OwnedHandle out = InheritableFile(outputs.Path() / "out", GENERIC_WRITE, CREATE_ALWAYS);
    const OwnedHandle err = InheritableFile(outputs.Path() / "err", GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION process{};
    // Under Wine a start can fail now and then while other test programs start and end at the
    // same moment; a start that fails three times is a real failure.
    DWORD startError = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (CreateProcessW(reinterpret_cast<const wchar_t*>(tool.c_str()), line.data(), nullptr, nullptr, TRUE,
                         CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        startError = 0;
        break;
      }
      startError = GetLastError();
      Sleep(250);
    }
    if (startError != 0) throw std::runtime_error("cannot start stpack.exe: error " + std::to_string(startError));
    const OwnedHandle processHandle(process.hProcess);
    const OwnedHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    result.exitCode = static_cast<int>(exitCode);
  }
  result.out = ReadWhole(outputs.Path() / "out");
  result.err = ReadWhole(outputs.Path() / "err");
  return result;
}

}  // namespace setup::testing_support
