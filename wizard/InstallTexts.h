// The texts of the install itself beyond the wizard's pages: the question on Cancel, the missing
// space, the reasons a file could not be written, the question before a downgrade, and the usage
// of the command line.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

struct TInstallTexts {
  std::u16string cancelQuestion;  // asked on Cancel or on closing the window during the install
  std::u16string notEnoughSpace;  // "%s" stands for the missing amount
  std::u16string failedFile;      // before the failed file's path
  std::u16string reasonDamaged;   // the package itself is damaged
  std::u16string reasonWrite;     // the file could not be written; the system's reason follows
  std::u16string usage;           // Setup.exe /?
  // Asked before an older version replaces a newer one: the first "%s" the installed version, the
  // second this one.
  std::u16string downgradeQuestion;
};

// 0 is Chinese; every other value English.
TInstallTexts InstallTexts(std::int32_t languageIndex);

// notEnoughSpace with the missing amount put in.
std::u16string NotEnoughSpaceText(const TInstallTexts& texts, const std::u16string& missing);

// downgradeQuestion with both versions put in.
std::u16string DowngradeQuestionText(const TInstallTexts& texts, const std::u16string& installed,
                                     const std::u16string& carried);

}  // namespace setup
