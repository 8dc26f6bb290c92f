#include "platform/avfoundation/SegmentStream.h"

#include <algorithm>
#include <cstring>

namespace av {

SegmentStream::SegmentStream(std::function<void()> drained) : drained_(std::move(drained)) {}

bool SegmentStream::hasRoom() const {
  std::lock_guard lock(mutex_);
  return segments_.size() < kSegmentCapacity;
}

void SegmentStream::append(ns::Data segment) {
  {
    std::lock_guard lock(mutex_);
    if (finished_ || closed_ || segment.empty()) {
      return;
    }
    segments_.push_back(std::move(segment));
  }
  changed_.notify_all();
}

void SegmentStream::finish() {
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

void SegmentStream::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    segments_.clear();
  }
  changed_.notify_all();
}

bool SegmentStream::isClosed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

std::ptrdiff_t SegmentStream::read(std::uint8_t* buffer, std::size_t capacity) {
  bool segmentDrained = false;
  std::size_t copied = 0;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || finished_ || !segments_.empty(); });
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
