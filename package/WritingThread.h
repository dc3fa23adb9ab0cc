// Writing the files of an extraction on a second thread, in table order, while the extracting
// thread creates the next ones: where every file operation is a round trip to another process
// (the Wine server), the two threads' system calls overlap instead of taking turns.
#pragma once

#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>

#include "base/Threads.h"
#include "package/ReplacingFile.h"

namespace setup {

class WritingThread {
 public:
  // Writes one created file to its end and commits it; runs on the writing thread.
  using Write = std::function<void(ReplacingFile& output)>;

  static constexpr std::size_t kMostWaiting = 4;  // created files waiting for their bytes

  WritingThread();
  // Drops what has not been written (each file removes itself) and stops the thread.
  ~WritingThread();
  WritingThread(const WritingThread&) = delete;
  WritingThread& operator=(const WritingThread&) = delete;

  // Queues a created file; waits while kMostWaiting are queued. Raises what an earlier write
  // raised, in which case this file is dropped.
  void Submit(std::unique_ptr<ReplacingFile> output, Write write);
  // Waits until every queued file is written; raises what the first failed write raised.
  void Finish();
  // Waits until every queued file is written or dropped, and returns the first failure (or
  // none): for a caller that has a failure of its own, which comes after those in table order.
  std::exception_ptr FinishQuietly() noexcept;

 private:
  struct Job {
    std::unique_ptr<ReplacingFile> output;
    Write write;
  };
  void Run() noexcept;

  Mutex mutex_;
  ConditionVariable changed_;
  std::deque<Job> jobs_;        // guarded by mutex_
  bool busy_ = false;           // a job is being written; guarded by mutex_
  bool stopping_ = false;       // guarded by mutex_
  std::exception_ptr failure_;  // the first failure; guarded by mutex_
  Thread thread_;               // last: started when everything else is ready
};

}  // namespace setup
