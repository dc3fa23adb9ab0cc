#include "shell/Drives.h"

#include <windows.h>

#include "base/Text.h"

namespace setup {

namespace {
std::u16string DriveRoot(char16_t letter) { return std::u16string{letter, u':', u'\\'}; }
}  // namespace

std::u16string GetFixedDriveLetters() {
  std::u16string letters;
  const DWORD mask = GetLogicalDrives();
  for (int drive = 0; drive < 26; ++drive) {
    if (!(mask & (DWORD{1} << drive))) continue;
    const auto letter = static_cast<char16_t>(u'A' + drive);
    if (GetDriveTypeW(WidePtr(DriveRoot(letter))) == DRIVE_FIXED) letters += letter;
  }
  return letters;
}

std::int64_t GetDriveFreeSpace(char16_t letter) {
  ULARGE_INTEGER available{};
  ULARGE_INTEGER total{};
  if (!GetDiskFreeSpaceExW(WidePtr(DriveRoot(letter)), &available, &total, nullptr)) return -1;
  return static_cast<std::int64_t>(available.QuadPart);
}

}  // namespace setup
