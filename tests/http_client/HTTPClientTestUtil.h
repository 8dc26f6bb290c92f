#pragma once

// Helpers of the HTTP client's tests: running the main loop until something happened, with a deadline.

#include <chrono>
#include <functional>

#include "platform/foundation/loop/RunLoop.h"
#include "support/LoopbackHTTPServer.h"

namespace httpclienttest {

// Runs the main loop until `done` holds or ten seconds have passed; returns whether `done` holds.
inline bool runMainLoopUntil(const std::function<bool()>& done) {
  return ns::RunLoop::main().runUntil(done, std::chrono::seconds(10));
}

// Runs the main loop through three rounds of queued tasks, each queued by the one before: long enough for
// anything already reported to the loop to have been handed on, so that a test can check that nothing more
// came.
inline void runMainLoopThroughQueuedTasks() {
  bool done = false;
  ns::RunLoop& loop = ns::RunLoop::main();
  loop.post([&] { loop.post([&] { loop.post([&] { done = true; }); }); });
  runMainLoopUntil([&] { return done; });
}

// Returns a handler that answers with `response` after waking the main loop, so that a test running the
// main loop until the server has seen a request notices it at once.
inline testsupport::LoopbackHTTPServer::Handler wakingMainLoop(testsupport::TestResponse response) {
  return [response](const testsupport::RecordedRequest&) {
    ns::RunLoop::main().post([] {});
    return response;
  };
}

}  // namespace httpclienttest
