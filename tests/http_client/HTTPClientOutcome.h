#pragma once

// httpclienttest::Outcome: what the success and failure blocks of one request reported, for tests that run
// the main loop until the request ended.

#include <memory>
#include <optional>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HTTPClientTestUtil.h"
#include "platform/foundation/loop/RunLoop.h"

namespace httpclienttest {

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
