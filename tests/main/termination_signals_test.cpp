// A termination signal may land on any thread of the process: it is recorded and wakes the main thread
// wherever it lands, without a data race (the thread-sanitizer build checks that).

#include <gtest/gtest.h>
#include <poll.h>

#include <cerrno>
#include <csignal>
#include <thread>

#include "main/terminal/TerminationSignals.h"

namespace terminal {
namespace {

TEST(TerminationSignalsTest, ASignalOnAnotherThreadIsRecordedAndWakesTheMainThread) {
  const TerminationSignals signals;
  ASSERT_GE(TerminationSignals::descriptor(), 0);
  // Raised on a worker, as a signal sent to the process may land on the client's network thread.
  std::thread worker([] { std::raise(SIGINT); });

  pollfd wake{TerminationSignals::descriptor(), POLLIN, 0};
  int woken = 0;
  do {
    woken = poll(&wake, 1, -1);
  } while (woken < 0 && errno == EINTR);
  // Read while the worker may still run, as the main loop reads it.
  const int received = TerminationSignals::received();
  worker.join();
  EXPECT_EQ(woken, 1);
  EXPECT_EQ(received, SIGINT);
  EXPECT_EQ(TerminationSignals::exitStatus(received), 130);
}

}  // namespace
}  // namespace terminal
