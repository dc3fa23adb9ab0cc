// The system's condition variables came with Windows 6. The wizard still runs on Windows 5, so they
// are looked up when first needed; where they are missing a wait is a short sleep with the lock
// given up, which every waiter tolerates: waits may end without a notification, and each waiter
// checks its condition again.
#include <windows.h>

#include "base/MutexNative_win.h"
#include "base/SystemFunction_win.h"
#include "base/Threads.h"

namespace setup {

namespace {

struct ConditionFunctions {
  using Initialize = VOID(WINAPI*)(PCONDITION_VARIABLE);
  using Sleep = BOOL(WINAPI*)(PCONDITION_VARIABLE, PCRITICAL_SECTION, DWORD);
  using Wake = VOID(WINAPI*)(PCONDITION_VARIABLE);

  Initialize initialize = SystemFunction<Initialize>(L"kernel32.dll", "InitializeConditionVariable");
  Sleep sleep = SystemFunction<Sleep>(L"kernel32.dll", "SleepConditionVariableCS");
  Wake wakeOne = SystemFunction<Wake>(L"kernel32.dll", "WakeConditionVariable");
  Wake wakeAll = SystemFunction<Wake>(L"kernel32.dll", "WakeAllConditionVariable");

  bool Present() const noexcept { return initialize && sleep && wakeOne && wakeAll; }
};

const ConditionFunctions& Functions() {
  static const ConditionFunctions functions;
  return functions;
}

constexpr DWORD kPollMilliseconds = 1;

}  // namespace

struct ConditionVariable::Native {
  CONDITION_VARIABLE condition;
};

ConditionVariable::ConditionVariable() : native_(std::make_unique<Native>()) {
  if (Functions().Present()) Functions().initialize(&native_->condition);
}
ConditionVariable::~ConditionVariable() = default;

void ConditionVariable::Wait(std::unique_lock<Mutex>& lock) {
  CRITICAL_SECTION* const section = &lock.mutex()->native_->section;
  if (Functions().Present()) {
    Functions().sleep(&native_->condition, section, INFINITE);
    return;
  }
  LeaveCriticalSection(section);
  Sleep(kPollMilliseconds);
  EnterCriticalSection(section);
}

void ConditionVariable::NotifyOne() {
  if (Functions().Present()) Functions().wakeOne(&native_->condition);
}

void ConditionVariable::NotifyAll() {
  if (Functions().Present()) Functions().wakeAll(&native_->condition);
}

}  // namespace setup
