#pragma once

// ns::WakeSignal: the eventfd a run loop waits on beside its sources, which other threads raise to wake it.
// Raising it again before the loop has cleared it writes nothing, so a burst of posts costs one write.
//
// A run loop owns it through a std::shared_ptr that posting threads copy while the loop is known to be alive
// (under the loop's task mutex), so that they can raise it after letting go of that mutex: the loop may be
// gone by then, and the descriptor stays open until the last holder lets go.
//
// Thread-safety: claim() and raise() from any thread; clear() and fileDescriptor() on the loop's thread.

#include <atomic>

namespace ns {

class WakeSignal {
 public:
  // Opens the eventfd; ends the process with a message when it cannot, since a loop that cannot be woken
  // would hang its thread without a word.
  WakeSignal();
  ~WakeSignal();
  WakeSignal(const WakeSignal&) = delete;
  WakeSignal& operator=(const WakeSignal&) = delete;

  // Returns true when the caller should raise() the signal: nobody has since the loop last cleared it.
  bool claim();
  // Makes the descriptor readable.
  void raise();
  // Makes the descriptor unreadable again and lets the next claim() succeed. Called before the loop looks
  // at its tasks, so that a task posted after the loop looked raises the signal anew.
  void clear();
  int fileDescriptor() const { return fd_; }

 private:
  // Constant after construction
  const int fd_;

  std::atomic<bool> raised_{false};
};

}  // namespace ns
