#include "package/CompressionJobs.h"

#include <algorithm>

namespace setup {

namespace {
constexpr std::size_t kBlocksAheadPerWorker = 3;
}  // namespace

CompressionJobs::CompressionJobs(std::vector<Source> sources, int level, unsigned workers)
    : sources_(std::move(sources)), level_(level) {
  for (std::size_t i = 0; i < sources_.size(); ++i) {
    const std::int64_t count = DeflateBlockCount(sources_[i].size);
    blockCounts_.push_back(count);
    for (std::int64_t block = 0; block < count; ++block) {
      Task task;
      task.source = i;
      task.block = block;
      tasks_.push_back(std::move(task));
    }
  }
  const std::size_t count = std::min<std::size_t>(workers == 0 ? 1 : workers, tasks_.size());
  window_ = std::max<std::size_t>(count, 1) * kBlocksAheadPerWorker;
  try {
    for (std::size_t i = 0; i < count; ++i) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    Shutdown();
    throw;
  }
}

CompressionJobs::~CompressionJobs() { Shutdown(); }

void CompressionJobs::Shutdown() noexcept {
  {
    std::lock_guard<Mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.NotifyAll();
  for (Thread& worker : workers_) worker.Join();
}

std::int64_t CompressionJobs::BlockCount(std::size_t source) const { return blockCounts_[source]; }

void CompressionJobs::Work() {
  for (;;) {
    std::size_t i = 0;
    {
      std::unique_lock<Mutex> lock(mutex_);
      // Stay within the window ahead of the caller, so finished blocks do not pile up.
      changed_.Wait(lock, [&] { return stopping_ || next_ == tasks_.size() || next_ < consumed_ + window_; });
      if (stopping_ || next_ == tasks_.size()) return;
      i = next_++;
    }
    DeflatedBlock result;
    std::exception_ptr failure;
    try {
      const Source& source = sources_[tasks_[i].source];
      result = DeflateBlock(source.file, source.size, tasks_[i].block, level_);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard<Mutex> lock(mutex_);
      tasks_[i].result = std::move(result);
      tasks_[i].failure = failure;
      tasks_[i].done = true;
      // A failure ends the whole package: the blocks after it are not needed.
      if (failure) stopping_ = true;
    }
    changed_.NotifyAll();
  }
}

DeflatedBlock CompressionJobs::Next() {
  std::unique_lock<Mutex> lock(mutex_);
  const std::size_t i = consumed_;
  changed_.Wait(lock, [&] { return tasks_[i].done; });
  if (tasks_[i].failure) std::rethrow_exception(tasks_[i].failure);
  DeflatedBlock result = std::move(tasks_[i].result);
  ++consumed_;
  lock.unlock();
  changed_.NotifyAll();
  return result;
}

}  // namespace setup
