#pragma once

// av::PacketQueue: the demuxed packets waiting to be decoded, the engine's bounded look-ahead of compressed
// media. It holds at most kCapacity packets and kByteCapacity bytes of packet data (a packet larger than
// that still passes, alone); the demuxer blocks in push() while it is full, so reading ahead stops until the
// decoder takes some. The demuxer finishes the queue at the end of the stream; closing it releases both
// sides at once.
//
// Thread-safety: thread-safe.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>

#include "platform/avfoundation/LibavPointers.h"
#include "platform/foundation/check/Mutex.h"

namespace av {

class PacketQueue {
 public:
  static constexpr std::size_t kCapacity = 256;
  static constexpr std::size_t kByteCapacity = std::size_t{16} << 20;

  PacketQueue() = default;
  PacketQueue(const PacketQueue&) = delete;
  PacketQueue& operator=(const PacketQueue&) = delete;

  // Adds `packet`, waiting for room. Returns false, dropping the packet, once the queue is closed.
  // REQUIRES: packet is not null, and the queue is not finished.
  bool push(PacketPointer packet) QM_EXCLUDES(mutex_);
  // No packet will follow: pop() returns nullptr once the queue is empty.
  void finish() QM_EXCLUDES(mutex_);
  // Drops every packet and makes push() fail and pop() return nullptr from now on.
  void close() QM_EXCLUDES(mutex_);

  // Returns the oldest packet, or nullptr when none waits. Never blocks.
  PacketPointer tryPop() QM_EXCLUDES(mutex_);
  // Returns the oldest packet, waiting for one; nullptr once the queue is closed, or finished and empty.
  // `waiting`, when given, is called once (without the queue's lock) as the call starts to wait.
  PacketPointer pop(const std::function<void()>& waiting = {}) QM_EXCLUDES(mutex_);
  // True while a pop() waits on an empty queue that is neither finished nor closed: its reader has taken
  // every packet there is and more must be demuxed first.
  bool isReaderWaiting() const QM_EXCLUDES(mutex_);
  bool isClosed() const QM_EXCLUDES(mutex_);

  std::size_t size() const QM_EXCLUDES(mutex_);
  // The bytes of packet data waiting.
  std::size_t byteSize() const QM_EXCLUDES(mutex_);

 private:
  bool isFull() const QM_REQUIRES(mutex_);
  PacketPointer takeFront() QM_REQUIRES(mutex_);

  mutable ns::Mutex mutex_;
  // Notified whenever a packet comes or goes, and when the queue finishes or closes.
  std::condition_variable changed_;
  std::deque<PacketPointer> packets_ QM_GUARDED_BY(mutex_);
  std::size_t bytes_ QM_GUARDED_BY(mutex_) = 0;
  bool finished_ QM_GUARDED_BY(mutex_) = false;
  bool closed_ QM_GUARDED_BY(mutex_) = false;
  bool readerWaiting_ QM_GUARDED_BY(mutex_) = false;
};

}  // namespace av
