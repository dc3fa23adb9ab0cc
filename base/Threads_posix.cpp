#include <condition_variable>
#include <thread>

#include "base/Errors.h"
#include "base/Text.h"
#include "base/Threads.h"

namespace setup {

struct Mutex::Native {
  std::mutex mutex;
};

Mutex::Mutex() : native_(std::make_unique<Native>()) {}
Mutex::~Mutex() = default;
void Mutex::lock() { native_->mutex.lock(); }
void Mutex::unlock() { native_->mutex.unlock(); }

struct ConditionVariable::Native {
  std::condition_variable condition;
};

ConditionVariable::ConditionVariable() : native_(std::make_unique<Native>()) {}
ConditionVariable::~ConditionVariable() = default;

void ConditionVariable::Wait(std::unique_lock<Mutex>& lock) {
  // The caller's lock holds the inner mutex: wait on that, and leave it held as it was.
  std::unique_lock<std::mutex> inner(lock.mutex()->native_->mutex, std::adopt_lock);
  native_->condition.wait(inner);
  (void)inner.release();
}

void ConditionVariable::NotifyOne() { native_->condition.notify_one(); }
void ConditionVariable::NotifyAll() { native_->condition.notify_all(); }

struct Thread::Native {
  std::thread thread;
};

Thread::Thread() noexcept = default;

Thread::Thread(std::function<void()> body) : native_(std::make_unique<Native>()) {
  try {
    native_->thread = std::thread([body = std::move(body)]() noexcept { body(); });
  } catch (const std::system_error& error) {
    throw Exception(u"Cannot start a thread. " + FromUtf8(error.what()));
  }
}

Thread::~Thread() { Join(); }
Thread::Thread(Thread&& other) noexcept = default;

Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) {
    Join();
    native_ = std::move(other.native_);
  }
  return *this;
}

bool Thread::Joinable() const noexcept { return native_ && native_->thread.joinable(); }

void Thread::Join() noexcept {
  if (Joinable()) native_->thread.join();
}

unsigned HardwareThreads() noexcept {
  const unsigned count = std::thread::hardware_concurrency();
  return count == 0 ? 1 : count;
}

}  // namespace setup
