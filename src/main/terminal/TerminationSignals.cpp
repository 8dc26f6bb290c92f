#include "main/terminal/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include "platform/foundation/check/Check.h"

namespace terminal {

namespace {

constexpr int kCaughtSignals[] = {SIGINT, SIGTERM};

volatile std::sig_atomic_t receivedSignal = 0;
bool objectLives = false;
// The self-pipe the handler writes to; -1 while no object lives, or when the system had no pipe to give
// (signals are still recorded then, only the wake-up is missing).
int wakePipe[2] = {-1, -1};
struct sigaction earlierActions[std::size(kCaughtSignals)];

// Runs in the signal's context: only async-signal-safe calls.
void onTerminationSignal(int signal) {
  if (receivedSignal != 0) {
    _exit(TerminationSignals::exitStatus(signal));
  }
  receivedSignal = signal;
  const char wake = 1;
  [[maybe_unused]] const ssize_t written = write(wakePipe[1], &wake, 1);
}

}  // namespace

TerminationSignals::TerminationSignals() {
  QM_DCHECK(!objectLives, "one TerminationSignals a process at a time");
  objectLives = true;
  if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    wakePipe[0] = wakePipe[1] = -1;
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
  if (wakePipe[0] >= 0) {
    close(wakePipe[0]);
    close(wakePipe[1]);
  }
  wakePipe[0] = wakePipe[1] = -1;
  receivedSignal = 0;
  objectLives = false;
}

int TerminationSignals::received() {
  return receivedSignal;
}

int TerminationSignals::descriptor() {
  return wakePipe[0];
}

}  // namespace terminal
