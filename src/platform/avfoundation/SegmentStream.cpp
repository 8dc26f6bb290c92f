#include "platform/avfoundation/SegmentStream.h"

#include <algorithm>
#include <cstring>

namespace av {

SegmentStream::SegmentStream(std::function<void()> drained, std::function<void()> waiting)
    : drained_(std::move(drained)), waiting_(std::move(waiting)) {}

bool SegmentStream::hasRoom() const {
  ns::MutexLock lock(mutex_);
  return segments_.empty() ||
         (segments_.size() < kSegmentCapacity && queuedBytes_ + largestSegment_ <= kByteCapacity);
}

std::size_t SegmentStream::queuedBytes() const {
  ns::MutexLock lock(mutex_);
  return queuedBytes_;
}

void SegmentStream::expectSegment() {
  ns::MutexLock lock(mutex_);
  expecting_ = true;
}

void SegmentStream::append(ns::Data segment) {
  {
    ns::MutexLock lock(mutex_);
    expecting_ = false;
    if (finished_ || closed_ || segment.empty()) {
      return;
    }
    queuedBytes_ += segment.size();
    largestSegment_ = std::max(largestSegment_, segment.size());
    segments_.push_back(std::move(segment));
  }
  changed_.notify_all();
}

void SegmentStream::finish() {
  {
    ns::MutexLock lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

void SegmentStream::close() {
  std::deque<ns::Data> dropped;
  {
    ns::MutexLock lock(mutex_);
    closed_ = true;
    dropped.swap(segments_);
    queuedBytes_ = 0;
  }
  changed_.notify_all();
}

bool SegmentStream::isClosed() const {
  ns::MutexLock lock(mutex_);
  return closed_;
}

bool SegmentStream::isReaderStarved() const {
  ns::MutexLock lock(mutex_);
  return readerWaiting_ && segments_.empty() && !expecting_ && !finished_ && !closed_;
}

std::ptrdiff_t SegmentStream::read(std::uint8_t* buffer, std::size_t capacity) {
  bool segmentDrained = false;
  std::size_t copied = 0;
  {
    ns::MutexLock lock(mutex_);
    bool told = false;
    while (!closed_ && !finished_ && segments_.empty()) {
      readerWaiting_ = true;
      if (waiting_ && !told) {
        told = true;
        lock.unlock();
        waiting_();
        lock.lock();
        continue;
      }
      lock.wait(changed_);
    }
    readerWaiting_ = false;
    if (closed_) {
      return kClosed;
    }
    if (segments_.empty()) {
      return kEndOfStream;
    }
    const ns::Data& front = segments_.front();
    copied = std::min(capacity, front.size() - readOffset_);
    std::memcpy(buffer, front.data() + readOffset_, copied);
    readOffset_ += copied;
    if (readOffset_ == front.size()) {
      queuedBytes_ -= front.size();
      segments_.pop_front();
      readOffset_ = 0;
      segmentDrained = true;
    }
  }
  if (segmentDrained && drained_) {
    drained_();
  }
  return static_cast<std::ptrdiff_t>(copied);
}

}  // namespace av
