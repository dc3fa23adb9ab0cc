#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "base/Threads.h"

namespace setup {
namespace {

// A hand-over in both directions through one mutex and condition: each side waits for the other's
// turn, so a lost notification or a wait that does not release the lock hangs the test.
TEST(Threads, TurnsHandOverThroughTheCondition) {
  Mutex mutex;
  ConditionVariable turn;
  int next = 0;  // even: the test thread's turn; odd: the worker's
  std::vector<int> order;
  Thread worker([&] {
    for (int i = 1; i < 20; i += 2) {
      std::unique_lock<Mutex> lock(mutex);
      turn.Wait(lock, [&] { return next == i; });
      order.push_back(i);
      ++next;
      turn.NotifyAll();
    }
  });
  for (int i = 0; i < 20; i += 2) {
    std::unique_lock<Mutex> lock(mutex);
    turn.Wait(lock, [&] { return next == i; });
    order.push_back(i);
    ++next;
    turn.NotifyOne();
  }
  worker.Join();
  ASSERT_EQ(order.size(), 20u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(order[i], i);
}

TEST(Threads, JoinWaitsAndTheOwnerJoinsWhatItHeld) {
  std::atomic<int> ended{0};
  Thread first([&] { ++ended; });
  EXPECT_TRUE(first.Joinable());
  first.Join();
  EXPECT_FALSE(first.Joinable());
  EXPECT_EQ(ended.load(), 1);

  Thread moved([&] { ++ended; });
  Thread target(std::move(moved));
  EXPECT_FALSE(moved.Joinable());  // NOLINT(bugprone-use-after-move): a moved-from thread is empty
  EXPECT_TRUE(target.Joinable());
  target = Thread([&] { ++ended; });  // joins the thread it held first
  EXPECT_GE(ended.load(), 2);
  {
    Thread scoped([&] { ++ended; });
  }  // the destructor joins
  target.Join();
  EXPECT_EQ(ended.load(), 4);
  EXPECT_GE(HardwareThreads(), 1u);
}

}  // namespace
}  // namespace setup
