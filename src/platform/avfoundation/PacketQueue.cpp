#include "platform/avfoundation/PacketQueue.h"

namespace av {

bool PacketQueue::push(PacketPointer packet) {
  std::unique_lock lock(mutex_);
  roomMade_.wait(lock, [this] { return closed_ || packets_.size() < kCapacity; });
  if (closed_) {
    return false;
  }
  packets_.push_back(std::move(packet));
  return true;
}

PacketPointer PacketQueue::tryPop() {
  PacketPointer packet;
  {
    std::lock_guard lock(mutex_);
    if (packets_.empty()) {
      return nullptr;
    }
    packet = std::move(packets_.front());
    packets_.pop_front();
  }
  roomMade_.notify_all();
  return packet;
}

std::size_t PacketQueue::size() const {
  std::lock_guard lock(mutex_);
  return packets_.size();
}

void PacketQueue::close() {
  std::deque<PacketPointer> dropped;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(packets_);
  }
  roomMade_.notify_all();
}

}  // namespace av
