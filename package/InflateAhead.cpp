#include "package/InflateAhead.h"

#include <cstring>

#include "package/StreamInflater.h"

namespace setup {

namespace {
// Raised inside the inflating thread when the reader has gone: unwinds the inflate in progress.
struct Stopped {};

// Spent full-size buffers kept for reuse: about what the thread may hold ahead.
constexpr std::size_t kSpareBuffers = InflateAhead::kMostBufferedBytes / StreamInflater::kChunkBytes + 2;
}  // namespace

InflateAhead::InflateAhead(ByteSource& package, std::span<const PackageRow> rows)
    : thread_([this, &package, rows] { Inflate(package, rows); }) {}

InflateAhead::~InflateAhead() {
  {
    std::unique_lock<Mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.NotifyAll();
  thread_.Join();
}

void InflateAhead::Inflate(ByteSource& package, std::span<const PackageRow> rows) noexcept {
  try {
    StreamInflater inflater;
    for (const PackageRow& row : rows) {
      Piece end;
      end.rowEnd = true;
      try {
        package.Seek(row.offset, ByteSource::Origin::Begin);
        Buffer current;
        inflater.InflateInto(
            package, row.packedSize, row.unpackedSize,
            [&](std::size_t capacity) {
              current = NewBuffer(capacity);
              return current.data.get();
            },
            [&](std::size_t size) {
              Piece piece;
              piece.bytes = std::move(current);
              piece.bytes.size = size;
              Push(std::move(piece));
            });
      } catch (const Stopped&) {
        return;
      } catch (...) {
        // Each row's stream stands alone: the next rows are inflated all the same, and the
        // reader decides whether this row's failure matters.
        end.failure = std::current_exception();
      }
      Push(std::move(end));
    }
  } catch (const Stopped&) {
  } catch (...) {
    // The inflater could not even start: every row reports it.
    const std::exception_ptr failure = std::current_exception();
    try {
      for (std::size_t i = 0; i < rows.size(); ++i) {
        Piece end;
        end.rowEnd = true;
        end.failure = failure;
        Push(std::move(end));
      }
    } catch (const Stopped&) {
    }
  }
}

// A full chunk reuses a spent buffer; a small piece (a small file) gets one of its own size, so
// that the bytes held ahead are the bytes counted.
InflateAhead::Buffer InflateAhead::NewBuffer(std::size_t capacity) {
  if (capacity == StreamInflater::kChunkBytes) {
    std::unique_lock<Mutex> lock(mutex_);
    if (!free_.empty()) {
      Buffer spent = std::move(free_.back());
      free_.pop_back();
      return spent;
    }
  }
  Buffer buffer;
  buffer.data = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);  // the inflater fills it
  buffer.capacity = capacity;
  return buffer;
}

void InflateAhead::Push(Piece piece) {
  bool wake = false;
  {
    std::unique_lock<Mutex> lock(mutex_);
    // A row end always goes in, so a reader waiting for it is never stuck behind a full buffer.
    // A full buffer is refilled only once the reader has taken half of it, so that the two
    // sides do not wake each other for every piece.
    if (!piece.rowEnd && buffered_ >= kMostBufferedBytes) {
      while (!stopping_ && buffered_ > kMostBufferedBytes / 2) {
        inflaterWaiting_ = true;
        changed_.Wait(lock);
      }
      inflaterWaiting_ = false;
    }
    if (stopping_) throw Stopped();
    buffered_ += piece.bytes.capacity;
    pieces_.push_back(std::move(piece));
    wake = readerWaiting_;
  }
  if (wake) changed_.NotifyAll();
}

InflateAhead::Piece InflateAhead::Pop() {
  Piece piece;
  bool wake = false;
  {
    std::unique_lock<Mutex> lock(mutex_);
    while (pieces_.empty()) {
      readerWaiting_ = true;
      changed_.Wait(lock);
    }
    readerWaiting_ = false;
    piece = std::move(pieces_.front());
    pieces_.pop_front();
    buffered_ -= piece.bytes.capacity;
    wake = inflaterWaiting_ && buffered_ <= kMostBufferedBytes / 2;
  }
  if (wake) changed_.NotifyAll();
  return piece;
}

void InflateAhead::Take(const Sink* sink) {
  for (;;) {
    Piece piece = Pop();
    if (piece.rowEnd) {
      if (piece.failure && sink) std::rethrow_exception(piece.failure);
      return;
    }
    if (sink) (*sink)(piece.bytes.data.get(), piece.bytes.size);
    if (piece.bytes.capacity != StreamInflater::kChunkBytes) continue;
    std::unique_lock<Mutex> lock(mutex_);
    if (free_.size() < kSpareBuffers) free_.push_back(std::move(piece.bytes));
  }
}

void InflateAhead::TakeNext(const Sink& sink) { Take(&sink); }

void InflateAhead::SkipNext() { Take(nullptr); }

}  // namespace setup
