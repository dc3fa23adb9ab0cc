// The writing threads of the extraction: files are written and kept in the order they were
// queued; the first failure stops everything after it, every file not kept is removed, and the
// failure reaches the caller however far it has got.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"
#include "package/ReplacingFile.h"
#include "package/WritingThread.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

constexpr int kFiles = 12;

std::string NameOf(int i) { return "f" + std::to_string(i) + ".txt"; }

// Queues kFiles files of one line each into folder; the file numbered failAt (if any) fails in
// the step named by failInKeep. Returns the failure's message ("" for none).
std::string WriteFiles(const TempFolder& folder, int failAt, bool failInKeep, std::vector<int>& order) {
  WritingThread writer;
  try {
    for (int i = 0; i < kFiles; ++i) {
      auto output = std::make_unique<ReplacingFile>(folder.Text() + FromUtf8(NameOf(i)));
      writer.Submit(
          std::move(output),
          [i, failAt, failInKeep, &order](ReplacingFile& file) {
            order.push_back(i);
            const std::string line = "file " + std::to_string(i) + "\n";
            file.Write(line.data(), line.size());
            if (i == failAt && !failInKeep) throw Exception(u"write failed");
          },
          [i, failAt, failInKeep](ReplacingFile& file) {
            if (i == failAt && failInKeep) throw Exception(u"keep failed");
            file.Commit();
          });
    }
    writer.Finish();
  } catch (const Exception& error) {
    // The caller's own wait after a failure finds nothing more to report and nothing queued.
    EXPECT_TRUE(writer.FinishQuietly() != nullptr);
    return ToUtf8(error.Message());
  }
  return "";
}

struct FailureCase {
  const char* name;
  int failAt;
  bool inKeep;
  const char* message;
};

class WritingThreadFailure : public ::testing::TestWithParam<FailureCase> {};

TEST(WritingThread, WritesAndKeepsEveryFileInOrder) {
  TempFolder folder;
  std::vector<int> order;
  EXPECT_EQ(WriteFiles(folder, -1, false, order), "");
  std::vector<int> expected;
  std::vector<std::string> names;
  for (int i = 0; i < kFiles; ++i) {
    expected.push_back(i);
    names.push_back(NameOf(i));
    EXPECT_EQ(ReadBytes(folder.Path() / NameOf(i)), "file " + std::to_string(i) + "\n");
  }
  EXPECT_EQ(order, expected);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(ListFiles(folder.Path()), names);
}

TEST_P(WritingThreadFailure, StopsAtTheFirstFailureAndRemovesWhatWasNotKept) {
  const FailureCase& c = GetParam();
  TempFolder folder;
  std::vector<int> order;
  EXPECT_EQ(WriteFiles(folder, c.failAt, c.inKeep, order), c.message);
  // Nothing after the failing file was written; the files before it were kept whole.
  ASSERT_FALSE(order.empty());
  // At most the files waiting to be kept, the one being kept and the one being written.
  EXPECT_LE(order.back(), c.failAt + static_cast<int>(WritingThread::kMostWaiting) + 2);
  for (std::size_t k = 0; k < order.size(); ++k) EXPECT_EQ(order[k], static_cast<int>(k));
  std::vector<std::string> kept;
  for (int i = 0; i < c.failAt; ++i) kept.push_back(NameOf(i));
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(ListFiles(folder.Path()), kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, WritingThreadFailure,
                         ::testing::Values(FailureCase{"FirstWrite", 0, false, "write failed"},
                                           FailureCase{"MiddleWrite", 5, false, "write failed"},
                                           FailureCase{"LastWrite", kFiles - 1, false, "write failed"},
                                           FailureCase{"FirstKeep", 0, true, "keep failed"},
                                           FailureCase{"MiddleKeep", 5, true, "keep failed"}),
                         [](const auto& item) { return std::string(item.param.name); });

}  // namespace
}  // namespace setup
