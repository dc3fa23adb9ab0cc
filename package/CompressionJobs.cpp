#include "package/CompressionJobs.h"

#include <algorithm>

#include "base/FileSystem.h"
#include "base/Text.h"

namespace setup {

CompressionJobs::CompressionJobs(std::vector<std::u16string> sources, std::u16string temporaryPrefix, int level,
                                 unsigned workers)
    : sources_(std::move(sources)), level_(level), slots_(sources_.size()) {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    slots_[i].file = temporaryPrefix + IntToText(static_cast<std::int64_t>(i)) + u".tmp";
  }
  const std::size_t count = std::min<std::size_t>(workers == 0 ? 1 : workers, slots_.size());
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
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  for (std::thread& worker : workers_) {
    if (worker.joinable()) worker.join();
  }
  for (const Slot& slot : slots_) RemoveFile(slot.file);
}

void CompressionJobs::Work() {
  for (;;) {
    std::size_t i = 0;
    {
      std::lock_guard lock(mutex_);
      if (stopping_ || next_ == slots_.size()) return;
      i = next_++;
    }
    DeflatedSizes sizes;
    std::exception_ptr failure;
    try {
      sizes = DeflateFile(sources_[i], slots_[i].file, level_);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      slots_[i].sizes = sizes;
      slots_[i].failure = failure;
      slots_[i].done = true;
      // A failure ends the whole package: the others need not be compressed.
      if (failure) stopping_ = true;
    }
    finished_.notify_all();
  }
}

DeflatedSizes CompressionJobs::Wait(std::size_t i) {
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [&] { return slots_[i].done; });
  if (slots_[i].failure) std::rethrow_exception(slots_[i].failure);
  return slots_[i].sizes;
}

void CompressionJobs::Release(std::size_t i) { RemoveFile(slots_[i].file); }

}  // namespace setup
