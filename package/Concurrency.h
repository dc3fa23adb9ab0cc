// The only threads and locks of the extraction, kept behind this small interface so that their
// insides can follow whatever thread model the Windows programs are built with: one callable run
// on a thread of its own, and a lock with one condition to wait on.
#pragma once

#include <functional>
#include <memory>

namespace setup {

// Runs `work` on a new thread at once. Join (or the destructor) waits for it to end. `work` must
// not raise: catch inside and hand the failure over.
class BackgroundThread {
 public:
  explicit BackgroundThread(std::function<void()> work);
  ~BackgroundThread();
  BackgroundThread(const BackgroundThread&) = delete;
  BackgroundThread& operator=(const BackgroundThread&) = delete;

  void Join() noexcept;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A lock and one condition. Hold the lock with a Monitor::Guard; Wait gives it up while waiting
// and holds it again when it returns (also spuriously: wait in a loop on the state you need).
class Monitor {
 public:
  Monitor();
  ~Monitor();
  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;

  class Guard {
   public:
    explicit Guard(Monitor& monitor);
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    void Wait();

   private:
    Monitor& monitor_;
  };

  // Wakes every waiter; call it with or without the lock held.
  void NotifyAll() noexcept;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace setup
