#pragma once

// av::SegmentStream: the decrypted bytes of a lesson's segments, in order, from the thread that fetches them
// to the thread that demuxes them. It is bounded in segments and in bytes: the fetcher asks hasRoom() before
// fetching the next segment and hears through the drained callback when the reader has used one up. A
// reader blocks until bytes come, the stream ends, or either side closes it, so a demuxer never waits for
// ever once the fetcher is gone. The fetcher may say that a segment is on its way (fetched, and being
// decrypted): a reader waiting for it is not starved.
//
// Thread-safety: thread-safe.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/values/Data.h"

namespace av {

class SegmentStream {
 public:
  static constexpr std::size_t kSegmentCapacity = 3;
  // The bytes the waiting segments and the one being fetched may hold together.
  static constexpr std::size_t kByteCapacity = std::size_t{48} << 20;

  // What read() returns besides a count of bytes.
  static constexpr std::ptrdiff_t kEndOfStream = 0;
  static constexpr std::ptrdiff_t kClosed = -1;

  // `drained` runs on the reader's thread each time a segment has been read to its end; `waiting`, when
  // given, runs there (without the stream's lock) each time read() begins to wait for bytes.
  explicit SegmentStream(std::function<void()> drained, std::function<void()> waiting = {});
  SegmentStream(const SegmentStream&) = delete;
  SegmentStream& operator=(const SegmentStream&) = delete;

  // True when the next segment may be fetched: fewer than kSegmentCapacity segments wait, and the bytes
  // waiting plus as many again as the largest segment so far (what the next one will likely hold) stay
  // within kByteCapacity. An empty stream always has room, so segments larger than that still play, one at
  // a time.
  bool hasRoom() const QM_EXCLUDES(mutex_);
  // The bytes of the segments waiting, the one being read included.
  std::size_t queuedBytes() const QM_EXCLUDES(mutex_);
  // The next segment has been fetched and will be appended soon (or the stream closed).
  void expectSegment() QM_EXCLUDES(mutex_);
  // Adds the next segment's bytes, the one expected if any. Does nothing once the stream is finished or
  // closed.
  void append(ns::Data segment) QM_EXCLUDES(mutex_);
  // No segment will follow: the reader gets kEndOfStream once it has read what is queued.
  void finish() QM_EXCLUDES(mutex_);
  // Stops the stream at once, whatever is queued: the reader gets kClosed.
  void close() QM_EXCLUDES(mutex_);
  bool isClosed() const QM_EXCLUDES(mutex_);
  // True while read() waits with no bytes queued and no segment expected, the stream neither finished nor
  // closed: its reader can go on only once another segment has been fetched.
  bool isReaderStarved() const QM_EXCLUDES(mutex_);

  // Copies up to `capacity` bytes into `buffer`, waiting for them. Returns the count copied (at least 1),
  // kEndOfStream or kClosed.
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t capacity) QM_EXCLUDES(mutex_);

 private:
  // Constant after construction
  const std::function<void()> drained_;
  const std::function<void()> waiting_;

  mutable ns::Mutex mutex_;
  // Notified when a segment comes, and when the stream finishes or closes.
  std::condition_variable changed_;
  std::deque<ns::Data> segments_ QM_GUARDED_BY(mutex_);
  std::size_t queuedBytes_ QM_GUARDED_BY(mutex_) = 0;
  std::size_t largestSegment_ QM_GUARDED_BY(mutex_) = 0;
  std::size_t readOffset_ QM_GUARDED_BY(mutex_) = 0;
  bool finished_ QM_GUARDED_BY(mutex_) = false;
  bool closed_ QM_GUARDED_BY(mutex_) = false;
  bool expecting_ QM_GUARDED_BY(mutex_) = false;
  bool readerWaiting_ QM_GUARDED_BY(mutex_) = false;
};

}  // namespace av
