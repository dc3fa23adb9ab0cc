// Compressing the entries of a package on worker threads, each into its own temporary file,
// handed back in entry order. Each stream depends only on its file and the level, so the
// result does not depend on the number of workers.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "package/StreamDeflater.h"

namespace setup {

class CompressionJobs {
 public:
  // Starts the workers at once; temporary files are named temporaryPrefix + index + ".tmp".
  CompressionJobs(std::vector<std::u16string> sources, std::u16string temporaryPrefix, int level, unsigned workers);
  // Stops the workers, waits for them and removes every temporary file left.
  ~CompressionJobs();
  CompressionJobs(const CompressionJobs&) = delete;
  CompressionJobs& operator=(const CompressionJobs&) = delete;

  // Waits until entry i is compressed; raises what its compression raised.
  DeflatedSizes Wait(std::size_t i);
  const std::u16string& TemporaryFile(std::size_t i) const { return slots_[i].file; }
  // Removes entry i's temporary file once it has been copied.
  void Release(std::size_t i);

 private:
  struct Slot {
    std::u16string file;
    bool done = false;
    DeflatedSizes sizes;
    std::exception_ptr failure;
  };

  void Work();
  // Stops and joins the workers, then removes the temporary files.
  void Shutdown() noexcept;

  std::vector<std::u16string> sources_;
  int level_;
  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable finished_;
  std::size_t next_ = 0;  // next entry a worker takes; guarded by mutex_
  bool stopping_ = false;
  std::vector<std::thread> workers_;  // last, so the workers are gone before the slots
};

}  // namespace setup
