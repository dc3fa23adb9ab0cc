#include "package/WritingThread.h"

#include <utility>

namespace setup {

WritingThread::WritingThread()
    : writer_([this] { Run(writing_, &keeping_); }), keeper_([this] { Run(keeping_, nullptr); }) {}

WritingThread::~WritingThread() {
  std::deque<Job> dropped;
  std::deque<Job> unkept;
  {
    std::unique_lock<Mutex> lock(mutex_);
    stopping_ = true;
    dropped.swap(writing_.jobs);
    unkept.swap(keeping_.jobs);
  }
  changed_.NotifyAll();
  writer_.Join();
  keeper_.Join();
  // The queues go here, on this thread: each file that was not kept removes itself.
}

bool WritingThread::Idle() const noexcept {
  return writing_.jobs.empty() && !writing_.busy && keeping_.jobs.empty() && !keeping_.busy;
}

void WritingThread::Submit(std::unique_ptr<ReplacingFile> output, Step write, Step keep) {
  std::unique_lock<Mutex> lock(mutex_);
  changed_.Wait(lock, [this] { return failure_ || writing_.jobs.size() < kMostWaiting; });
  if (failure_) {
    lock.unlock();
    output.reset();  // removes the file it created
    std::rethrow_exception(failure_);
  }
  writing_.jobs.push_back({queued_++, std::move(output), std::move(write), std::move(keep)});
  lock.unlock();
  changed_.NotifyAll();
}

std::exception_ptr WritingThread::FinishQuietly() noexcept {
  std::unique_lock<Mutex> lock(mutex_);
  changed_.Wait(lock, [this] { return Idle(); });
  return failure_;
}

void WritingThread::Finish() {
  if (const std::exception_ptr failure = FinishQuietly()) std::rethrow_exception(failure);
}

// One stage: takes its jobs in order, runs its step, and hands each job on to the next stage.
void WritingThread::Run(Stage& from, Stage* to) noexcept {
  for (;;) {
    Job job;
    {
      std::unique_lock<Mutex> lock(mutex_);
      changed_.Wait(lock, [&] { return stopping_ || !from.jobs.empty(); });
      if (stopping_) return;
      job = std::move(from.jobs.front());
      from.jobs.pop_front();
      from.busy = true;
    }
    changed_.NotifyAll();  // room for the next file
    std::exception_ptr failure;
    try {
      (to ? job.write : job.keep)(*job.output);
    } catch (...) {
      failure = std::current_exception();
    }
    if (failure || !to) job.output.reset();  // a file that was not kept removes itself
    std::deque<Job> dropped;
    std::deque<Job> unkept;
    {
      std::unique_lock<Mutex> lock(mutex_);
      if (failure) {
        if (!failure_ || job.index < failureIndex_) {
          failure_ = failure;
          failureIndex_ = job.index;
        }
        // Nothing after a failure is written or kept; the files before it that wait to be kept
        // (after a failed write) still are.
        dropped.swap(writing_.jobs);
        if (!to) unkept.swap(keeping_.jobs);
      } else if (to) {
        // As many written files wait to be kept as created ones to be written, and no more: each
        // holds an open file.
        changed_.Wait(lock, [&] { return stopping_ || failure_ || to->jobs.size() < kMostWaiting; });
        if (failure_ || stopping_)
          dropped.push_back(std::move(job));  // after a failure, or when stopping: not kept
        else
          to->jobs.push_back(std::move(job));
      }
    }
    // Each dropped file removes itself before this stage counts as idle: the caller's folder,
    // which the removal may use, lasts until then.
    dropped.clear();
    unkept.clear();
    {
      std::unique_lock<Mutex> lock(mutex_);
      from.busy = false;
    }
    changed_.NotifyAll();
  }
}

}  // namespace setup
