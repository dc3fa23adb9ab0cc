// StepLog: one UTF-8 line per step, whole lines even from several threads, and nothing at all
// without a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

// The log's name comes from an administrator's command line and may lie where others write: an
// existing plain file is appended to, never emptied, and anything else is refused untouched.
TEST(StepLog, AppendsToAPlainFileAndRefusesEverythingElse) {
  const testing_support::TempFolder folder;
  const std::filesystem::path earlier = folder.Path() / "earlier.log";
  std::ofstream(earlier, std::ios::binary) << "an earlier run\r\n";
  StepLog(earlier.u16string()).Line(u"this run");
  EXPECT_EQ(Read(earlier), "an earlier run\r\nthis run\r\n");

  const std::filesystem::path victim = folder.Path() / "victim.txt";
  std::ofstream(victim, std::ios::binary) << "someone else's";
  std::filesystem::create_directory(folder.Path() / "a folder");
  std::filesystem::create_hard_link(victim, folder.Path() / "hard.log");
  std::vector<std::filesystem::path> refused{folder.Path() / "a folder", folder.Path() / "hard.log"};
#ifndef _WIN32
  // Symbolic links need a privilege on Windows; there the reparse point is refused the same way.
  std::filesystem::create_symlink(victim, folder.Path() / "link.log");
  std::filesystem::create_symlink(folder.Path() / "nowhere.txt", folder.Path() / "dangling.log");
  refused.push_back(folder.Path() / "link.log");
  refused.push_back(folder.Path() / "dangling.log");
#endif
  for (const auto& name : refused) EXPECT_THROW(StepLog(name.u16string()), EFCreateError) << name.string();
  EXPECT_EQ(Read(victim), "someone else's");
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "nowhere.txt"));
}

}  // namespace
}  // namespace setup
