// Apart from the mutex and the thread: the system's condition variables came with Windows 6, and
// only the packer waits on one, so the setup programs never import them.
#include <windows.h>

#include "base/MutexNative_win.h"
#include "base/Threads.h"

namespace setup {

struct ConditionVariable::Native {
  CONDITION_VARIABLE condition;
};

ConditionVariable::ConditionVariable() : native_(std::make_unique<Native>()) {
  InitializeConditionVariable(&native_->condition);
}
ConditionVariable::~ConditionVariable() = default;

void ConditionVariable::Wait(std::unique_lock<Mutex>& lock) {
  SleepConditionVariableCS(&native_->condition, &lock.mutex()->native_->section, INFINITE);
}

void ConditionVariable::NotifyOne() { WakeConditionVariable(&native_->condition); }
void ConditionVariable::NotifyAll() { WakeAllConditionVariable(&native_->condition); }

}  // namespace setup
