#include "platform/avfoundation/PacketQueue.h"

#include "platform/foundation/check/Check.h"

namespace av {

bool PacketQueue::isFull() const {
  return !packets_.empty() && (packets_.size() >= kCapacity || bytes_ >= kByteCapacity);
}

bool PacketQueue::push(PacketPointer packet) {
  QM_DCHECK(packet != nullptr, "packet is not null");
  {
    ns::MutexLock lock(mutex_);
    QM_DCHECK(!finished_, "the queue is not finished");
    while (!closed_ && isFull()) {
      lock.wait(changed_);
    }
    if (closed_) {
      return false;
    }
    bytes_ += static_cast<std::size_t>(packet->size);
    packets_.push_back(std::move(packet));
  }
  changed_.notify_all();
  return true;
}

void PacketQueue::finish() {
  {
    ns::MutexLock lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

void PacketQueue::close() {
  std::deque<PacketPointer> dropped;
  {
    ns::MutexLock lock(mutex_);
    closed_ = true;
    dropped.swap(packets_);
    bytes_ = 0;
  }
  changed_.notify_all();
}

PacketPointer PacketQueue::takeFront() {
  PacketPointer packet = std::move(packets_.front());
  packets_.pop_front();
  bytes_ -= static_cast<std::size_t>(packet->size);
  return packet;
}

PacketPointer PacketQueue::tryPop() {
  PacketPointer packet;
  {
    ns::MutexLock lock(mutex_);
    if (packets_.empty()) {
      return nullptr;
    }
    packet = takeFront();
  }
  changed_.notify_all();
  return packet;
}

PacketPointer PacketQueue::pop(const std::function<void()>& waiting) {
  PacketPointer packet;
  {
    ns::MutexLock lock(mutex_);
    bool told = false;
    while (!closed_ && !finished_ && packets_.empty()) {
      readerWaiting_ = true;
      if (waiting && !told) {
        told = true;
        lock.unlock();
        waiting();
        lock.lock();
        continue;
      }
      lock.wait(changed_);
    }
    readerWaiting_ = false;
    if (closed_ || packets_.empty()) {
      return nullptr;
    }
    packet = takeFront();
  }
  changed_.notify_all();
  return packet;
}

bool PacketQueue::isReaderWaiting() const {
  ns::MutexLock lock(mutex_);
  // A packet pushed, or the queue finished or closed, releases the reader even before it wakes.
  return readerWaiting_ && packets_.empty() && !finished_ && !closed_;
}

bool PacketQueue::isClosed() const {
  ns::MutexLock lock(mutex_);
  return closed_;
}

std::size_t PacketQueue::size() const {
  ns::MutexLock lock(mutex_);
  return packets_.size();
}

std::size_t PacketQueue::byteSize() const {
  ns::MutexLock lock(mutex_);
  return bytes_;
}

}  // namespace av
