// One install or removal of a product at a time (Windows only): Setup.exe and Uninst.exe of the
// same product hold one named mutex in the global namespace while they work, so a person and a
// deployment, or two deployments, never write the same folder and key at once.
#pragma once

#include <cstdint>
#include <string>

#include "shell/UniqueHandle.h"

namespace setup {

class ProductInstallLock {
 public:
  // Takes the product's lock, waiting up to `waitMilliseconds` for another holder to let go. A
  // holder that ended without letting go leaves the lock to the next one.
  ProductInstallLock(const std::u16string& productIdentity, std::uint32_t waitMilliseconds);
  ~ProductInstallLock();
  ProductInstallLock(const ProductInstallLock&) = delete;
  ProductInstallLock& operator=(const ProductInstallLock&) = delete;

  bool Held() const noexcept { return held_; }

  // "Global\SetupToolkit.Install.<identity>", the identity's backslashes made "_".
  static std::u16string MutexName(const std::u16string& productIdentity);

 private:
  UniqueHandle mutex_;
  bool held_ = false;
};

// The identity this program's product is locked by: its ProductId, else its short name.
std::u16string ThisProductLockIdentity();

// How long a second Setup.exe or Uninst.exe waits for the first one.
inline constexpr std::uint32_t kInstallLockWait = 3000;

// What a second Setup.exe or Uninst.exe tells a person, in the language of its texts.
std::u16string AnotherInstallRunningText(std::int32_t languageIndex);

}  // namespace setup
