#pragma once

// Helpers for tests of screens: fixtures on a fresh application and a manual clock, and recorders of alert
// answers and notifications.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Storyboard.h"
#include "support/scoped_manual_clock.h"

namespace uikit::testing {

using ::testing::ElementsAre;
using EventLog = std::shared_ptr<std::vector<std::string>>;

// Writes "clicked <title>", "willDismiss <index>" and "didDismiss <index>" into events.
class RecordingAlertDelegate : public AlertViewDelegate {
 public:
  void alertViewClickedButtonAtIndex(AlertView& alert, std::int64_t index) override {
    events.push_back("clicked " + alert.buttonTitleAtIndex(index));
  }
  void alertViewWillDismissWithButtonIndex(AlertView&, std::int64_t index) override {
    events.push_back("willDismiss " + std::to_string(index));
  }
  void alertViewDidDismissWithButtonIndex(AlertView&, std::int64_t index) override {
    events.push_back("didDismiss " + std::to_string(index));
  }
  std::vector<std::string> events;
};

// Keeps the names of the notifications posted while it lives whose names start with "UI" + one of `kinds`.
class NotificationLog {
 public:
  explicit NotificationLog(std::vector<std::string> kinds)
      : token_(ns::NotificationCenter::defaultCenter().addObserverForName(
            std::nullopt, nullptr, nullptr, [this, kinds = std::move(kinds)](const ns::Notification& posted) {
              for (const std::string& kind : kinds) {
                if (posted.name.rfind("UI" + kind, 0) == 0) {
                  names.push_back(posted.name);
                }
              }
            })) {}
  NotificationLog(const NotificationLog&) = delete;
  NotificationLog& operator=(const NotificationLog&) = delete;
  ~NotificationLog() { ns::NotificationCenter::defaultCenter().removeObserver(token_); }

  std::vector<std::string> names;

 private:
  ns::NotificationCenter::ObserverToken token_;
};

class UikitTest : public ::testing::Test {
 protected:
  void SetUp() override { resetUikit(); }
  void TearDown() override { resetUikit(); }

  // Runs the tasks posted so far, such as animation completions and did-appear callbacks.
  void nextTurn() { ns::RunLoop::main().runPending(); }

  // Shows a key window, kept for the test, whose root is `root`, and lets the root finish appearing.
  std::shared_ptr<Window> showWindowWithRoot(std::shared_ptr<ViewController> root) {
    auto window = windows_.emplace_back(std::make_shared<Window>());
    window->setRootViewController(std::move(root));
    window->makeKeyAndVisible();
    nextTurn();
    return window;
  }

  testsupport::ScopedManualClock clock_;

 private:
  void resetUikit() {
    Application::sharedApplication().resetForTesting();
    Storyboard::removeAllForTesting();
    Nib::removeAllForTesting();
    // Whatever a former test left posted runs now, against the fresh state.
    ns::RunLoop::main().runPending();
  }

  std::vector<std::shared_ptr<Window>> windows_;
};

// Starts with a key window showing a fresh `Screen`.
template <typename Screen = ViewController>
class ScreenTest : public UikitTest {
 protected:
  void SetUp() override {
    UikitTest::SetUp();
    window_ = showWindowWithRoot(screen_);
  }

  std::shared_ptr<Screen> screen_ = std::make_shared<Screen>();
  std::shared_ptr<Window> window_;
};

}  // namespace uikit::testing
