#pragma once

// av::SegmentStream: the decrypted bytes of a lesson's segments, in order, from the thread that fetches them
// to the thread that demuxes them. It holds at most kSegmentCapacity segments; the fetcher asks hasRoom()
// before fetching the next one and hears through the drained callback when the reader has used one up. A
// reader blocks until bytes come, the stream ends, or either side closes it, so a demuxer never waits for
// ever once the fetcher is gone.
//
// Thread-safety: thread-safe.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/foundation/values/Data.h"

namespace av {

class SegmentStream {
 public:
  static constexpr std::size_t kSegmentCapacity = 3;

  // What read() returns besides a count of bytes.
  static constexpr std::ptrdiff_t kEndOfStream = 0;
  static constexpr std::ptrdiff_t kClosed = -1;

  // `drained` runs on the reader's thread each time a segment has been read to its end.
  explicit SegmentStream(std::function<void()> drained);

  // True while fewer than kSegmentCapacity segments wait to be read.
  bool hasRoom() const;
  // Adds the next segment's bytes. Does nothing once the stream is finished or closed.
  void append(ns::Data segment);
  // No segment will follow: the reader gets kEndOfStream once it has read what is queued.
  void finish();
  // Stops the stream at once, whatever is queued: the reader gets kClosed.
  void close();
  bool isClosed() const;

  // Copies up to `capacity` bytes into `buffer`, waiting for them. Returns the count copied (at least 1),
  // kEndOfStream or kClosed.
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t capacity);

 private:
  // Constant after construction
  const std::function<void()> drained_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  // Guarded by mutex_
  std::deque<ns::Data> segments_;
  std::size_t readOffset_ = 0;
  bool finished_ = false;
  bool closed_ = false;
};

}  // namespace av
