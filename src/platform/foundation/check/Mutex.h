#pragma once

// ns::Mutex and ns::MutexLock: a mutex and its scoped lock that clang's thread-safety analysis understands
// (ThreadAnnotations.h), so that a field marked QM_GUARDED_BY(mutex_) is never touched without the lock.
// They cost what std::mutex and std::unique_lock cost.
//
// Thread-safety: a Mutex may be used from any thread; a MutexLock belongs to the thread that made it.

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/foundation/check/ThreadAnnotations.h"

namespace ns {

class QM_CAPABILITY("mutex") Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void lock() QM_ACQUIRE() { mutex_.lock(); }
  void unlock() QM_RELEASE() { mutex_.unlock(); }

 private:
  friend class MutexLock;
  std::mutex mutex_;
};

// Holds `mutex` from construction to destruction, except between unlock() and lock().
class QM_SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex& mutex) QM_ACQUIRE(mutex) : lock_(mutex.mutex_) {}
  ~MutexLock() QM_RELEASE() {}
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

  // Lets the mutex go for a while, for work that must not run under it (callbacks, blocking calls).
  // REQUIRES: held. Take it again with lock().
  void unlock() QM_RELEASE() { lock_.unlock(); }
  // REQUIRES: not held.
  void lock() QM_ACQUIRE() { lock_.lock(); }

  // Waits until `condition` is notified, letting the mutex go meanwhile; holds it again on return. Wakes
  // may be spurious: wait in a loop that tests the guarded state, written in the caller, where the analysis
  // sees the lock held. REQUIRES: held.
  void wait(std::condition_variable& condition) { condition.wait(lock_); }
  // As wait(), until `deadline` at the latest. Returns std::cv_status::timeout when the deadline passed.
  template <typename Clock, typename Duration>
  std::cv_status waitUntil(std::condition_variable& condition,
                           const std::chrono::time_point<Clock, Duration>& deadline) {
    return condition.wait_until(lock_, deadline);
  }

 private:
  std::unique_lock<std::mutex> lock_;
};

}  // namespace ns
