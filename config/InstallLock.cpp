#include "config/InstallLock.h"

#include <windows.h>

#include "base/Text.h"
#include "config/Global.h"

namespace setup {

std::u16string ThisProductLockIdentity() {
  const std::u16string identity = Global::LoadConfigString(Global::idProductId);
  return identity.empty() ? Global::LoadConfigString(Global::idProductShortName) : identity;
}

std::u16string ProductInstallLock::MutexName(const std::u16string& productIdentity) {
  std::u16string name = u"Global\\SetupToolkit.Install." + productIdentity;
  for (std::size_t i = 7; i < name.size(); ++i)
    if (name[i] == u'\\') name[i] = u'_';
  return name;
}

ProductInstallLock::ProductInstallLock(const std::u16string& productIdentity, std::uint32_t waitMilliseconds)
    : mutex_(CreateMutexW(nullptr, FALSE, WidePtr(MutexName(productIdentity)))) {
  if (!mutex_) return;
  const DWORD waited = WaitForSingleObject(mutex_.Get(), waitMilliseconds);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

ProductInstallLock::~ProductInstallLock() {
  if (held_) ReleaseMutex(mutex_.Get());
}

std::u16string AnotherInstallRunningText(std::int32_t languageIndex) {
  return languageIndex == 0 ? u"本产品的另一个安装或卸载正在进行。\n\n请等它结束后再试。"
                            : u"Another installation or removal of this product is running.\n\n"
                              u"Wait until it has finished, then try again.";
}

}  // namespace setup
