// StepLog: one UTF-8 line per step, whole lines even from several threads, and nothing at all
// without a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/Errors.h"
#include "base/StepLog.h"
#include "base/Threads.h"
#include "tests/support/TempFolder.h"

namespace setup {
namespace {

std::string Read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(StepLog, WritesUtf8LinesAsTheyCome) {
  const testing_support::TempFolder folder;
  const std::filesystem::path file = folder.Path() / "setup.log";
  StepLog log(file.u16string());
  log.Line(u"File: C:\\Program Files\\澜川\\Glyphor.exe");
  // Written at once: readable before the log is closed.
  EXPECT_EQ(Read(file), "File: C:\\Program Files\\\xE6\xBE\x9C\xE5\xB7\x9D\\Glyphor.exe\r\n");
  log.Line(u"Installed");
  EXPECT_EQ(Read(file), "File: C:\\Program Files\\\xE6\xBE\x9C\xE5\xB7\x9D\\Glyphor.exe\r\nInstalled\r\n");
}

TEST(StepLog, LinesFromTwoThreadsStayWhole) {
  const testing_support::TempFolder folder;
  const std::filesystem::path file = folder.Path() / "threads.log";
  {
    StepLog log(file.u16string());
    const auto write = [&log](char16_t letter) {
      for (int i = 0; i < 500; ++i) log.Line(std::u16string(40, letter));
    };
    Thread a([&] { write(u'a'); });
    Thread b([&] { write(u'b'); });
    a.Join();
    b.Join();
  }
  const std::string text = Read(file);
  EXPECT_EQ(text.size(), 1000u * 42u);
  for (std::size_t at = 0; at + 42 <= text.size(); at += 42) {
    const std::string line = text.substr(at, 42);
    EXPECT_TRUE(line == std::string(40, 'a') + "\r\n" || line == std::string(40, 'b') + "\r\n") << at;
  }
}

TEST(StepLog, WithoutAFileWritesNothingAndAFileThatCannotBeMadeRaises) {
  StepLog none;
  none.Line(u"goes nowhere");
  const testing_support::TempFolder folder;
  EXPECT_THROW(StepLog((folder.Path() / "missing" / "x.log").u16string()), EFCreateError);
}

}  // namespace
}  // namespace setup
