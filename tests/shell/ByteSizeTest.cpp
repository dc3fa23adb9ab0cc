#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "base/Convert.h"
#include "base/Text.h"
#include "shell/ByteSize.h"

namespace setup {
namespace {

struct SizeCase {
  std::int64_t size;
  const char* withPoint;  // the text when the decimal separator is "."
  const char* withComma;  // the text when it is ","
};

// Known answers: the unit boundaries, ties to even on both sides, the 100-unit switch and both ends
// of the signed range.
constexpr SizeCase kSizeCases[] = {
    {0, "0 Bytes", "0 Bytes"},
    {1, "1 Bytes", "1 Bytes"},
    {1023, "1023 Bytes", "1023 Bytes"},
    {1024, "1 KB", "1 KB"},
    {1536, "2 KB", "2 KB"},  // 1.5 goes up to the even 2
    {1537, "2 KB", "2 KB"},
    {2559, "2 KB", "2 KB"},
    {2560, "2 KB", "2 KB"},  // 2.5 goes down to the even 2
    {2561, "3 KB", "3 KB"},
    {3584, "4 KB", "4 KB"},
    {1048575, "1024 KB", "1024 KB"},
    {1048576, "1 MB", "1 MB"},
    {1310720, "1.2 MB", "1,2 MB"},  // 1.25: 12.5 tenths go down to the even 12
    {1415577, "1.3 MB", "1,3 MB"},  // 1.3499994: just below the half tenth
    {1415578, "1.4 MB", "1,4 MB"},  // 1.3500004: just above it
    {1362100, "1.3 MB", "1,3 MB"},
    {1572864, "1.5 MB", "1,5 MB"},
    {104857600, "100 MB", "100 MB"},  // exactly 100 keeps its (zero) decimal
    {104794685, "99.9 MB", "99,9 MB"},
    {104805172, "100 MB", "100 MB"},  // 99.95 rounds up to a whole 100.0
    {105381888, "100 MB", "100 MB"},  // above 100: whole numbers, 100.5 goes down to the even 100
    {105906176, "101 MB", "101 MB"},
    {110100480, "105 MB", "105 MB"},
    {1073741823, "1024 MB", "1024 MB"},
    {1073741824, "1 GB", "1 GB"},
    {1610612736, "1.5 GB", "1,5 GB"},
    {2199023255552, "2048 GB", "2048 GB"},
    {std::numeric_limits<std::int64_t>::max(), "8589934592 GB", "8589934592 GB"},
    {-1, "-1 Bytes", "-1 Bytes"},
    {-1048576, "-1048576 Bytes", "-1048576 Bytes"},
    {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808 Bytes", "-9223372036854775808 Bytes"},
};

class FormatByteSizeTest : public ::testing::TestWithParam<SizeCase> {
 protected:
  void TearDown() override { SetDecimalSeparator(u'.'); }
};

TEST_P(FormatByteSizeTest, PointSeparator) {
  SetDecimalSeparator(u'.');
  EXPECT_EQ(ToUtf8(FormatByteSize(GetParam().size)), GetParam().withPoint);
}

TEST_P(FormatByteSizeTest, CommaSeparator) {
  SetDecimalSeparator(u',');
  EXPECT_EQ(ToUtf8(FormatByteSize(GetParam().size)), GetParam().withComma);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FormatByteSizeTest, ::testing::ValuesIn(kSizeCases),
                         [](const ::testing::TestParamInfo<SizeCase>& sizeCase) {
                           const std::int64_t size = sizeCase.param.size;
                           return size < 0 ? "Negative" + std::to_string(sizeCase.index)
                                           : "Size" + std::to_string(size);
                         });

}  // namespace
}  // namespace setup
