#include <gtest/gtest.h>
#include <windows.h>

#include "base/Text.h"
#include "shell/ByteSize.h"
#include "shell/Drives.h"

namespace setup {
namespace {

TEST(DrivesTest, FixedDriveLettersAreTheFixedRootsInOrder) {
  const std::u16string letters = GetFixedDriveLetters();
  // The prefix's system drive is a fixed drive.
  EXPECT_NE(letters.find(u'C'), std::u16string::npos) << ToUtf8(letters);

  std::u16string expected;
  const DWORD mask = GetLogicalDrives();
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', 0};
    const bool present = mask & (DWORD{1} << (letter - u'A'));
    if (present && GetDriveTypeW(root) == DRIVE_FIXED) expected += letter;
  }
  EXPECT_EQ(letters, expected);
}

TEST(DrivesTest, FreeSpaceOfTheSystemDriveFitsItsSize) {
  ULARGE_INTEGER available{}, total{}, free{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &total, &free));
  for (char16_t letter : {u'C', u'c'}) {
    const std::int64_t space = GetDriveFreeSpace(letter);
    EXPECT_GT(space, 0) << static_cast<char>(letter);
    EXPECT_LE(static_cast<std::uint64_t>(space), total.QuadPart) << static_cast<char>(letter);
  }
}

TEST(DrivesTest, FreeSpaceOfAMissingDriveIsMinusOne) {
  const DWORD mask = GetLogicalDrives();
  char16_t missing = 0;
  for (char16_t letter = u'Z'; letter >= u'A' && !missing; --letter)
    if (!(mask & (DWORD{1} << (letter - u'A')))) missing = letter;
  ASSERT_NE(missing, 0) << "every drive letter is in use";
  EXPECT_EQ(GetDriveFreeSpace(missing), -1);
  EXPECT_EQ(FormatByteSize(GetDriveFreeSpace(missing)), u"-1 Bytes");
  EXPECT_EQ(GetDriveFreeSpace(u'?'), -1);
}

}  // namespace
}  // namespace setup
