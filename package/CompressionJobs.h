// Compressing the files of a package on worker threads, block by block, handed back in order.
// At most a fixed number of blocks are ahead of the one the caller waits for, so memory stays
// bounded whatever the file sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "base/Threads.h"
#include "package/BlockDeflater.h"

namespace setup {

class CompressionJobs {
 public:
  struct Source {
    std::u16string file;
    std::int64_t size = 0;  // as planned; a file that shrinks since fails with EReadError
  };

  // Starts the workers at once.
  CompressionJobs(std::vector<Source> sources, int level, unsigned workers);
  // Stops the workers and waits for them.
  ~CompressionJobs();
  CompressionJobs(const CompressionJobs&) = delete;
  CompressionJobs& operator=(const CompressionJobs&) = delete;

  std::int64_t BlockCount(std::size_t source) const;
  // Waits for the next block in order (source by source, block by block) and hands it over;
  // raises what its compression raised.
  DeflatedBlock Next();

 private:
  struct Task {
    std::size_t source = 0;
    std::int64_t block = 0;
    bool done = false;
    DeflatedBlock result;
    std::exception_ptr failure;
  };

  void Work();
  void Shutdown() noexcept;

  std::vector<Source> sources_;
  std::vector<std::int64_t> blockCounts_;
  int level_;
  std::size_t window_;
  std::vector<Task> tasks_;
  Mutex mutex_;
  ConditionVariable changed_;
  std::size_t next_ = 0;      // next task a worker takes; guarded by mutex_
  std::size_t consumed_ = 0;  // tasks handed over by Next; guarded by mutex_
  bool stopping_ = false;
  std::vector<Thread> workers_;  // last, so the workers are gone before the tasks
};

}  // namespace setup
