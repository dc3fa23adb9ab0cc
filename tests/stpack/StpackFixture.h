// Shared set-up of the command-line tests: a temporary folder and helpers around RunTool.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ToolRunner.h"
#include "tests/support/TempFolder.h"

namespace setup::testing_support {

class StpackTest : public ::testing::Test {
 protected:
  std::filesystem::path Temp(const std::u16string& leaf) const { return temp_.Path() / std::filesystem::path(leaf); }
  static std::u16string Text(const std::filesystem::path& path) { return path.u16string(); }

  // Runs the tool and reports its output when the status is not the expected one.
  static ToolResult Expect(int exitCode, const std::vector<std::u16string>& arguments) {
    ToolResult result = RunTool(arguments);
    EXPECT_EQ(result.exitCode, exitCode) << "stdout:\n" << result.out << "\nstderr:\n" << result.err;
    return result;
  }

 private:
  TempFolder temp_;
};

}  // namespace setup::testing_support
