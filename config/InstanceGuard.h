// The running-instance guard: setup refuses to run while the product it installs is running.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

struct ProductWindowIdentity {
  std::u16string windowClass;  // id 1001
  std::u16string titleEn;      // id 1002
  std::u16string titleCn;      // id 1003
};

// The title of the product's running main window: the English title when a top-level window
// with exactly (class, English title) exists, else the Chinese one for (class, Chinese title),
// else empty. Empty texts are looked for as empty texts, never as wildcards.
std::u16string FindRunningTitle(const ProductWindowIdentity& product);

struct GuardMessage {
  std::u16string text;
  std::u16string caption;
};
// The message shown instead of the wizard while the product runs.
GuardMessage RunningInstanceMessage(std::int32_t languageIndex, const std::u16string& runningTitle,
                                    const std::u16string& titleEn);

// Reads ids 1001-1003, searches, and when the product runs shows the message box (OK, no icon).
// Returns true when the product runs and setup must end.
bool ProductIsRunning(std::int32_t languageIndex);

}  // namespace setup
