#include "main/terminal/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "platform/foundation/check/Check.h"

namespace terminal {

namespace {

constexpr int kCaughtSignals[] = {SIGINT, SIGTERM};

// A signal may land on any thread while the main thread reads what it left: lock-free atomics are both
// safe in a handler and free of a data race between threads, where a volatile is neither across threads.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> receivedSignal = 0;
bool objectLives = false;
// The self-pipe: the handler writes to wakeWriteEnd. Both are -1 while no object lives, or when the system
// had no pipe to give (signals are still recorded then, only the wake-up is missing).
int wakeReadEnd = -1;
std::atomic<int> wakeWriteEnd = -1;
struct sigaction earlierActions[std::size(kCaughtSignals)];

// Runs in the signal's context: only async-signal-safe calls.
void onTerminationSignal(int signal) {
  int none = 0;
  if (!receivedSignal.compare_exchange_strong(none, signal)) {
    _exit(TerminationSignals::exitStatus(signal));
  }
  const char wake = 1;
  [[maybe_unused]] const ssize_t written = write(wakeWriteEnd.load(), &wake, 1);
}

}  // namespace

TerminationSignals::TerminationSignals() {
  QM_DCHECK(!objectLives, "one TerminationSignals a process at a time");
  objectLives = true;
  int ends[2] = {-1, -1};
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeReadEnd = ends[0];
    wakeWriteEnd = ends[1];
  }
  receivedSignal = 0;
  struct sigaction action {};
  action.sa_handler = &onTerminationSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a read that waits for the person is interrupted, so that it ends at once.
  action.sa_flags = 0;
  for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i) {
    sigaction(kCaughtSignals[i], &action, &earlierActions[i]);
  }
}

TerminationSignals::~TerminationSignals() {
  for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i) {
    sigaction(kCaughtSignals[i], &earlierActions[i], nullptr);
  }
  if (wakeReadEnd >= 0) {
    close(wakeReadEnd);
    close(wakeWriteEnd.exchange(-1));
  }
  wakeReadEnd = -1;
  receivedSignal = 0;
  objectLives = false;
}

int TerminationSignals::received() {
  return receivedSignal;
}

int TerminationSignals::descriptor() {
  return wakeReadEnd;
}

}  // namespace terminal
