#pragma once

// av::PacketQueue: the demuxed packets waiting to be decoded, the engine's bounded look-ahead. The demuxer
// blocks in push() while kCapacity packets wait, so reading ahead stops until the decoder takes some;
// closing the queue releases it.
//
// Thread-safety: thread-safe.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

#include "platform/avfoundation/LibavPointers.h"

namespace av {

class PacketQueue {
 public:
  static constexpr std::size_t kCapacity = 256;

  // Adds `packet`, waiting for room. Returns false, dropping the packet, once the queue is closed.
  bool push(PacketPointer packet);
  // Returns the oldest packet, or nullptr when none waits. Never blocks.
  PacketPointer tryPop();
  std::size_t size() const;
  // Drops every packet and makes push() fail from now on.
  void close();

 private:
  mutable std::mutex mutex_;
  std::condition_variable roomMade_;
  // Guarded by mutex_
  std::deque<PacketPointer> packets_;
  bool closed_ = false;
};

}  // namespace av
