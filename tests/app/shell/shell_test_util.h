#pragma once

// ShellTest: the application as the executable starts it over apptest::AppTestEnvironment, with a counter in
// place of the download manager's pausing and the main loop on a manual clock; the driver acts as a finger.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/app_test_util.h"
#include "app/menu/QMMenuScenes.h"
#include "app/session/QMAppServices.h"
#include "app/shell/AppDelegate.h"
#include "app/user/QMUserStoryboard.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/driver/Driver.h"
#include "support/course_placeholder_controller.h"
#include "support/process_reset.h"
#include "support/scoped_manual_clock.h"

namespace app {

namespace shelltest {

class ShellTest : public ::testing::Test {
 protected:
  // app_ has put every process-wide instance back before the scenes are registered.
  explicit ShellTest(
      apptest::AppTestEnvironment::Media media = apptest::AppTestEnvironment::Media::kNotServed)
      : app_(media) {
    QMUserStoryboard::registerScenes();
    testsupport::CoursePlaceholderController::registerScenes();
    QMMenuScenes::registerScenes();
    QMAppServices::setDownloadPauser([this] { ++pausedDownloads_; });
  }

  ~ShellTest() override {
    delegate_.reset();
    testsupport::resetForTesting();
    // Whatever the session left posted runs now, against the fresh state.
    ns::RunLoop::main().runPending();
  }

  // Launches the application with a new delegate and lets its first screen settle.
  void launch() {
    delegate_ = std::make_shared<AppDelegate>();
    uikit::Application::sharedApplication().launch(delegate_);
    settle();
  }

  // Runs the main loop until `done` holds, for at most ten seconds of real time. Returns done().
  static bool runUntil(const std::function<bool()>& done) {
    return ns::RunLoop::main().runUntil(done, std::chrono::seconds(10));
  }

  // Runs what is ready on the main loop, without waiting, until nothing more is.
  static void settle() {
    for (int turn = 0; turn < 32 && ns::RunLoop::main().runPending() > 0; ++turn) {
    }
  }

  static std::string screen() { return uikit::Driver::screenText(); }
  static bool screenShows(const std::string& text) { return screen().find(text) != std::string::npos; }

  // Types both fields of the login screen (an empty text clears one) and taps the login button.
  void submit(const std::string& name, const std::string& password) {
    ASSERT_TRUE(uikit::Driver::type("userNameTF", name).ok());
    ASSERT_TRUE(uikit::Driver::type("userPasswordTF", password).ok());
    ASSERT_TRUE(uikit::Driver::tap("loginBtn").ok());
    settle();
  }

  // Signs in through the login screen and waits for the screen that follows the reply.
  void logInThroughTheScreen() {
    ASSERT_TRUE(runUntil([] { return uikit::Driver::findView("userNameTF").ok(); })) << screen();
    const std::size_t loginsBefore = loginsSent();
    submit(apptest::kLearnerName, apptest::kLearnerPassword);
    ASSERT_TRUE(runUntil([&] { return loginsSent() > loginsBefore && !screenShows("loading"); })) << screen();
    settle();
  }

  std::size_t loginsSent() { return app_.backend().recordedRequests(apptest::kLoginPath).size(); }

  testsupport::ScopedManualClock clock_;
  apptest::AppTestEnvironment app_;
  std::shared_ptr<AppDelegate> delegate_;
  int pausedDownloads_ = 0;
};

}  // namespace shelltest

}  // namespace app
