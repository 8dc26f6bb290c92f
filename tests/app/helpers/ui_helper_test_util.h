#pragma once

// UiHelperTest: a fresh application with a key window, on the main loop's manual clock, for the tests of the
// shared UI helpers and base screens.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Window.h"
#include "support/process_reset.h"
#include "support/scoped_manual_clock.h"

namespace app {

namespace apptest {

class UiHelperTest : public ::testing::Test {
 protected:
  UiHelperTest() {
    reset();
    window_ = std::make_shared<uikit::Window>();
    window_->makeKeyAndVisible();
  }
  ~UiHelperTest() override {
    window_.reset();
    reset();
  }

  // Runs the tasks posted so far on the main loop.
  void nextTurn() { ns::RunLoop::main().runPending(); }
  // Moves the main loop's clock on, firing the timers due, and runs what they posted.
  void advance(std::chrono::milliseconds by) {
    clock_.advance(by);
    nextTurn();
  }

  testsupport::ScopedManualClock clock_;
  std::shared_ptr<uikit::Window> window_;

 private:
  void reset() {
    testsupport::resetForTesting();
    nextTurn();
  }
};

}  // namespace apptest

}  // namespace app
