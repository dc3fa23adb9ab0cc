// Inflating a package's streams on a thread of their own, in table order and a bounded number of
// bytes ahead of the writer, so that inflating the next files overlaps the writing of the current
// one (opening, writing, renaming files costs as much as inflating them) while memory stays flat.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "base/ByteSource.h"
#include "base/Threads.h"
#include "package/PackageReader.h"

namespace setup {

class InflateAhead {
 public:
  static constexpr std::size_t kMostBufferedBytes = 2 * 1024 * 1024;

  using Sink = std::function<void(const std::uint8_t* data, std::size_t size)>;

  // Starts inflating every row of `rows` from `package`, which only this object reads until it
  // is gone. Both must outlive it.
  InflateAhead(ByteSource& package, std::span<const PackageRow> rows);
  // Stops the inflating and waits for it.
  ~InflateAhead();
  InflateAhead(const InflateAhead&) = delete;
  InflateAhead& operator=(const InflateAhead&) = delete;

  // Hands the next row's bytes to sink in order, or raises what inflating it raised (after the
  // bytes before the failure, as StreamInflater does). Rows are taken one after the other.
  void TakeNext(const Sink& sink);
  // Drops the next row's bytes and its failure, if any: a row that is not written is not read.
  void SkipNext();

 private:
  // Inflated bytes, in memory that nothing fills before the inflater does.
  struct Buffer {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
    std::size_t capacity = 0;
  };
  struct Piece {
    Buffer bytes;                // empty for the end of a row
    std::exception_ptr failure;  // the row's failure, at its end
    bool rowEnd = false;
  };

  void Inflate(ByteSource& package, std::span<const PackageRow> rows) noexcept;
  void Push(Piece piece);
  Piece Pop();
  void Take(const Sink* sink);

  Mutex mutex_;
  ConditionVariable changed_;
  std::deque<Piece> pieces_;  // guarded by mutex_
  Buffer NewBuffer(std::size_t capacity);

  std::vector<Buffer> free_;  // spent full-size buffers, for reuse; guarded by mutex_
  std::size_t buffered_ = 0;  // bytes allocated in pieces_; guarded by mutex_
  bool stopping_ = false;     // guarded by mutex_
  // Who waits, so that the other side wakes it only when there is something for it: every
  // wait and wake-up may cost a round trip to the system (the Wine server, under Wine).
  bool readerWaiting_ = false;    // for a piece; guarded by mutex_
  bool inflaterWaiting_ = false;  // for room; guarded by mutex_
  Thread thread_;                 // last: started when everything else is ready
};

}  // namespace setup
