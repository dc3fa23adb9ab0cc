#include "package/WritingThread.h"

#include <utility>

namespace setup {

WritingThread::WritingThread() : thread_([this] { Run(); }) {}

WritingThread::~WritingThread() {
  std::deque<Job> dropped;
  {
    std::unique_lock<Mutex> lock(mutex_);
    stopping_ = true;
    dropped.swap(jobs_);
  }
  changed_.NotifyAll();
  thread_.Join();
  // `dropped` goes here, on this thread: each unwritten file removes itself.
}

void WritingThread::Submit(std::unique_ptr<ReplacingFile> output, Write write) {
  std::unique_lock<Mutex> lock(mutex_);
  changed_.Wait(lock, [this] { return failure_ || jobs_.size() < kMostWaiting; });
  if (failure_) {
    lock.unlock();
    output.reset();  // removes the file it created
    std::rethrow_exception(failure_);
  }
  jobs_.push_back({std::move(output), std::move(write)});
  lock.unlock();
  changed_.NotifyAll();
}

std::exception_ptr WritingThread::FinishQuietly() noexcept {
  std::unique_lock<Mutex> lock(mutex_);
  changed_.Wait(lock, [this] { return jobs_.empty() && !busy_; });
  return failure_;
}

void WritingThread::Finish() {
  if (const std::exception_ptr failure = FinishQuietly()) std::rethrow_exception(failure);
}

void WritingThread::Run() noexcept {
  for (;;) {
    Job job;
    {
      std::unique_lock<Mutex> lock(mutex_);
      changed_.Wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (stopping_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      busy_ = true;
    }
    changed_.NotifyAll();  // room for the next file
    std::exception_ptr failure;
    try {
      job.write(*job.output);
    } catch (...) {
      failure = std::current_exception();
    }
    job.output.reset();  // a file that was not committed removes itself
    std::deque<Job> dropped;
    {
      std::unique_lock<Mutex> lock(mutex_);
      busy_ = false;
      if (failure && !failure_) {
        failure_ = failure;
        dropped.swap(jobs_);  // nothing after a failure is written
      }
    }
    dropped.clear();
    changed_.NotifyAll();
  }
}

}  // namespace setup
