// A second thread, a mutex and a condition for the few places that need them: the install's
// worker, the log written from it, and the packer's compression jobs.
//
// The Windows build's C++ library comes without std::thread and std::mutex: its thread model
// runs on the system's own primitives, so Setup.exe and Uninst.exe carry no threads library of
// their own. These classes give both platforms one interface (std::thread and std::mutex below
// it on POSIX, the system's threads, critical sections and condition variables on Windows).
#pragma once

#include <functional>
#include <memory>
#include <mutex>

namespace setup {

class ConditionVariable;

// Usable with std::lock_guard and std::unique_lock.
class Mutex {
 public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void lock();
  void unlock();

 private:
  friend class ConditionVariable;
  struct Native;
  std::unique_ptr<Native> native_;
};

class ConditionVariable {
 public:
  ConditionVariable();
  ~ConditionVariable();
  ConditionVariable(const ConditionVariable&) = delete;
  ConditionVariable& operator=(const ConditionVariable&) = delete;

  // Releases the lock while it waits; may wake without a notification.
  void Wait(std::unique_lock<Mutex>& lock);
  template <typename Predicate>
  void Wait(std::unique_lock<Mutex>& lock, Predicate ready) {
    while (!ready()) Wait(lock);
  }
  void NotifyOne();
  void NotifyAll();

 private:
  struct Native;
  std::unique_ptr<Native> native_;
};

// Runs its body on a thread of its own from construction. Join waits for the body to end; the
// destructor joins a thread nobody joined. A body that lets an exception escape ends the program,
// so bodies catch what they can fail with.
class Thread {
 public:
  Thread() noexcept;
  // Raises Exception "Cannot start a thread." with the system's reason when none can start.
  explicit Thread(std::function<void()> body);
  ~Thread();
  Thread(Thread&& other) noexcept;
  // Joins the thread this one held first.
  Thread& operator=(Thread&& other) noexcept;

  bool Joinable() const noexcept;
  void Join() noexcept;

 private:
  struct Native;
  std::unique_ptr<Native> native_;
};

// The processors the system offers this process; at least 1.
unsigned HardwareThreads() noexcept;

}  // namespace setup
