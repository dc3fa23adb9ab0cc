// The inflating thread of the extraction: rows come out whole and in order whatever their size,
// each row's failure reaches the reader only for that row, and a skipped row is not checked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/MemorySource.h"
#include "package/InflateAhead.h"
#include "package/PackageErrors.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

// A 5 MiB file: more than the bytes the thread may hold ahead, so it has to wait for the reader.
std::string LargeFile() {
  std::string bytes;
  bytes.reserve(5u << 20);
  for (std::uint32_t i = 0; bytes.size() < (5u << 20); ++i)
    bytes += "record " + std::to_string(i * 7919u % 100003u) + "\n";
  bytes.resize(5u << 20);
  return bytes;
}

class InflateAheadTest : public ::testing::Test {
 protected:
  // Appends a row whose stream is `stream` and whose file has `size` bytes.
  void AddRow(const std::string& stream, std::size_t size) {
    PackageRow row;
    row.offset = static_cast<std::int64_t>(package_.size());
    row.packedSize = static_cast<std::int32_t>(stream.size());
    row.unpackedSize = static_cast<std::int32_t>(size);
    rows_.push_back(row);
    package_ += stream;
  }
  void AddFile(const std::string& bytes) { AddRow(bytes.empty() ? std::string() : Zlib(bytes, 9), bytes.size()); }

  std::string Take(InflateAhead& inflated) {
    std::string bytes;
    inflated.TakeNext(
        [&](const std::uint8_t* data, std::size_t size) { bytes.append(reinterpret_cast<const char*>(data), size); });
    return bytes;
  }

  std::string package_;
  std::vector<PackageRow> rows_;
};

TEST_F(InflateAheadTest, HandsOverEveryRowWholeAndInOrder) {
  const std::string large = LargeFile();
  AddFile("first file");
  AddFile("");
  AddFile(large);
  AddFile("last file");
  MemorySource source(std::as_bytes(std::span(package_.data(), package_.size())));
  InflateAhead inflated(source, rows_);
  EXPECT_EQ(Take(inflated), "first file");
  EXPECT_EQ(Take(inflated), "");
  EXPECT_EQ(Take(inflated), large);
  EXPECT_EQ(Take(inflated), "last file");
}

TEST_F(InflateAheadTest, ADamagedRowFailsOnlyItself) {
  AddFile("before");
  AddRow(Zlib("truncated stream").substr(0, 10), 16);
  AddFile("after");
  MemorySource source(std::as_bytes(std::span(package_.data(), package_.size())));
  InflateAhead inflated(source, rows_);
  EXPECT_EQ(Take(inflated), "before");
  EXPECT_EQ(MessageOf([&] { Take(inflated); }), "data error");
  EXPECT_EQ(Take(inflated), "after");
}

TEST_F(InflateAheadTest, ASkippedRowIsNotChecked) {
  AddRow("plain text, not zlib", 5);
  AddFile("kept");
  MemorySource source(std::as_bytes(std::span(package_.data(), package_.size())));
  InflateAhead inflated(source, rows_);
  inflated.SkipNext();
  EXPECT_EQ(Take(inflated), "kept");
}

// A reader that stops early (a failure, a cancel) must not leave the thread waiting for room.
TEST_F(InflateAheadTest, StopsWhenTheReaderLeavesEarly) {
  const std::string large = LargeFile();
  AddFile("first");
  AddFile(large);
  AddFile(large);
  MemorySource source(std::as_bytes(std::span(package_.data(), package_.size())));
  {
    InflateAhead inflated(source, rows_);
    EXPECT_EQ(Take(inflated), "first");
  }  // the thread is full and waiting: the destructor must end it
  InflateAhead again(source, rows_);
  EXPECT_EQ(Take(again), "first");
}

}  // namespace
}  // namespace setup
