#include "package/Concurrency.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace setup {

struct BackgroundThread::Impl {
  std::thread thread;
};

BackgroundThread::BackgroundThread(std::function<void()> work)
    : impl_(std::make_unique<Impl>(Impl{std::thread(std::move(work))})) {}

BackgroundThread::~BackgroundThread() { Join(); }

void BackgroundThread::Join() noexcept {
  if (impl_->thread.joinable()) impl_->thread.join();
}

struct Monitor::Impl {
  std::mutex mutex;
  std::condition_variable changed;
};

Monitor::Monitor() : impl_(std::make_unique<Impl>()) {}
Monitor::~Monitor() = default;

Monitor::Guard::Guard(Monitor& monitor) : monitor_(monitor) { monitor_.impl_->mutex.lock(); }
Monitor::Guard::~Guard() { monitor_.impl_->mutex.unlock(); }

void Monitor::Guard::Wait() {
  // The guard holds the lock; the condition borrows it for the wait and leaves it held.
  std::unique_lock<std::mutex> lock(monitor_.impl_->mutex, std::adopt_lock);
  monitor_.impl_->changed.wait(lock);
  lock.release();
}

void Monitor::NotifyAll() noexcept { impl_->changed.notify_all(); }

}  // namespace setup
