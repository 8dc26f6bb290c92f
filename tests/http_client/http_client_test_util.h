#pragma once

// Helpers of the HTTP client's tests: running the main loop with a deadline, and what a request reported.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "http_client/HCHTTPRequestOperation.h"
#include "platform/foundation/loop/RunLoop.h"
#include "support/loopback_http_server.h"

namespace http_client {

namespace httpclienttest {

// Runs the main loop until `done` holds or ten seconds have passed; returns whether `done` holds.
inline bool runMainLoopUntil(const std::function<bool()>& done) {
  return ns::RunLoop::main().runUntil(done, std::chrono::seconds(10));
}

// Runs the main loop through three rounds of chained tasks, so that a test can check that nothing more came.
inline void runMainLoopThroughQueuedTasks() {
  bool done = false;
  ns::RunLoop& loop = ns::RunLoop::main();
  loop.post([&] { loop.post([&] { loop.post([&] { done = true; }); }); });
  runMainLoopUntil([&] { return done; });
}

inline ns::URLRequest requestTo(const std::string& url) {
  return ns::URLRequest(ns::URL::fromString(url));
}

// A handler that wakes the main loop, so that a test waiting for the request notices it at once.
inline testsupport::LoopbackHTTPServer::Handler wakingMainLoop(testsupport::TestResponse response) {
  return [response](const testsupport::RecordedRequest&) {
    ns::RunLoop::main().post([] {});
    return response;
  };
}

// What the success and failure blocks of one request reported.
struct Outcome {
  int successes = 0;
  int failures = 0;
  bool everyCallOnMainThread = true;
  std::shared_ptr<HCHTTPRequestOperation> operation;
  std::optional<ns::Value> responseObject;
  std::optional<ns::Error> error;

  HCHTTPRequestOperation::SuccessBlock success() {
    return
        [this](const std::shared_ptr<HCHTTPRequestOperation>& from, const std::optional<ns::Value>& object) {
          ++successes;
          everyCallOnMainThread = everyCallOnMainThread && ns::RunLoop::isMainThread();
          operation = from;
          responseObject = object;
        };
  }
  HCHTTPRequestOperation::FailureBlock failure() {
    return [this](const std::shared_ptr<HCHTTPRequestOperation>& from, const ns::Error& reported) {
      ++failures;
      everyCallOnMainThread = everyCallOnMainThread && ns::RunLoop::isMainThread();
      operation = from;
      error = reported;
    };
  }

  // Runs the main loop until a block was called, then a little further so that a second call would show.
  bool waitForEnd() {
    const bool ended = runMainLoopUntil([this] { return successes + failures > 0; });
    runMainLoopThroughQueuedTasks();
    return ended;
  }
  bool succeededOnce() const { return successes == 1 && failures == 0 && everyCallOnMainThread; }
  bool failedOnce() const { return successes == 0 && failures == 1 && everyCallOnMainThread; }
};

}  // namespace httpclienttest

}  // namespace http_client
