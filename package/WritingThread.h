// Writing the files of an extraction on further threads, in table order, while the extracting
// thread creates the next ones: one thread writes each file's bytes, another closes the files
// that are written. Where every file operation is a round trip to another process (the Wine
// server), the threads' system calls overlap instead of taking turns.
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
  // What is done to a created file: on the writing thread, its bytes; then, on the closing
  // thread, keeping it (ReplacingFile::Commit). Either may raise, which stops everything after.
  using Step = std::function<void(ReplacingFile& output)>;

  // Created files waiting for their bytes, and as many written ones waiting to be kept.
  static constexpr std::size_t kMostWaiting = 4;

  WritingThread();
  // Drops what has not been written or kept (each such file removes itself) and stops.
  ~WritingThread();
  WritingThread(const WritingThread&) = delete;
  WritingThread& operator=(const WritingThread&) = delete;

  // Queues a created file; waits while kMostWaiting are queued. Raises what an earlier file
  // raised, in which case this file is dropped.
  void Submit(std::unique_ptr<ReplacingFile> output, Step write, Step keep);
  // Waits until every queued file is written and kept; raises the first failure.
  void Finish();
  // Waits until every queued file is kept or dropped, and returns the first failure (or none):
  // for a caller that has a failure of its own, which comes after those in table order.
  std::exception_ptr FinishQuietly() noexcept;

 private:
  struct Job {
    std::size_t index = 0;  // in the order queued
    std::unique_ptr<ReplacingFile> output;
    Step write;
    Step keep;
  };
  struct Stage {
    std::deque<Job> jobs;
    bool busy = false;
  };
  void Run(Stage& from, Stage* to) noexcept;
  bool Idle() const noexcept;

  Mutex mutex_;
  ConditionVariable changed_;
  Stage writing_;                 // guarded by mutex_
  Stage keeping_;                 // guarded by mutex_
  bool stopping_ = false;         // guarded by mutex_
  std::size_t queued_ = 0;        // guarded by mutex_
  std::exception_ptr failure_;    // the failure of the earliest file that failed; guarded by mutex_
  std::size_t failureIndex_ = 0;  // guarded by mutex_
  Thread writer_;                 // last: started when everything else is ready
  Thread keeper_;
};

}  // namespace setup
