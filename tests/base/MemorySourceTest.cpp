// MemorySource: reads and seeks over a block of bytes as a file stream does over a file.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <string>

#include "base/Errors.h"
#include "base/MemorySource.h"

namespace setup {
namespace {

std::array<std::byte, 5> Hello() {
  return {std::byte{'h'}, std::byte{'e'}, std::byte{'l'}, std::byte{'l'}, std::byte{'o'}};
}

TEST(MemorySource, ReadsSeeksAndStopsAtTheEnd) {
  const auto bytes = Hello();
  MemorySource source(bytes);
  EXPECT_EQ(source.Size(), 5);
  char buffer[8] = {};
  EXPECT_EQ(source.Read(buffer, 2), 2u);
  EXPECT_EQ(std::string(buffer, 2), "he");
  EXPECT_EQ(source.Position(), 2);
  EXPECT_EQ(source.Read(buffer, 8), 3u);
  EXPECT_EQ(std::string(buffer, 3), "llo");
  EXPECT_EQ(source.Read(buffer, 8), 0u);

  EXPECT_EQ(source.Seek(-2, ByteSource::Origin::End), 3);
  source.ReadBuffer(buffer, 2);
  EXPECT_EQ(std::string(buffer, 2), "lo");
  EXPECT_EQ(source.Seek(1, ByteSource::Origin::Begin), 1);
  EXPECT_EQ(source.Seek(2, ByteSource::Origin::Current), 3);
}

struct SeekCase {
  const char* name;
  std::int64_t offset;
  ByteSource::Origin origin;
  std::int64_t expected;  // the new position, or -1 for a refused seek
};

class MemorySourceSeek : public ::testing::TestWithParam<SeekCase> {};

TEST_P(MemorySourceSeek, RefusesPositionsBeforeTheStart) {
  const auto bytes = Hello();
  MemorySource source(bytes);
  source.Seek(2, ByteSource::Origin::Begin);
  const SeekCase& c = GetParam();
  EXPECT_EQ(source.Seek(c.offset, c.origin), c.expected);
  // A refused seek leaves the position where it was.
  EXPECT_EQ(source.Position(), c.expected < 0 ? 2 : c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MemorySourceSeek,
                         ::testing::Values(SeekCase{"BeforeStart", -1, ByteSource::Origin::Begin, -1},
                                           SeekCase{"BackPastStart", -3, ByteSource::Origin::Current, -1},
                                           SeekCase{"BeforeStartFromEnd", -6, ByteSource::Origin::End, -1},
                                           SeekCase{"PastTheEnd", 9, ByteSource::Origin::Begin, 9},
                                           SeekCase{"Overflow", INT64_MAX, ByteSource::Origin::Current, -1},
                                           SeekCase{"Start", -5, ByteSource::Origin::End, 0}),
                         [](const auto& item) { return std::string(item.param.name); });

TEST(MemorySource, ReadBufferPastTheEndRaisesReadError) {
  const auto bytes = Hello();
  MemorySource source(bytes);
  source.Seek(4, ByteSource::Origin::Begin);
  char buffer[2];
  EXPECT_THROW(source.ReadBuffer(buffer, 2), EReadError);
  source.Seek(9, ByteSource::Origin::Begin);
  EXPECT_THROW(source.ReadBuffer(buffer, 1), EReadError);
}

}  // namespace
}  // namespace setup
