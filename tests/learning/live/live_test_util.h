#pragma once

// LiveScreenTest: a signed-in learner, the live groups of the sample back end on loopback (its pictures
// served too), and a root screen on the key window that presents the live-detail screen as the subject
// screen does. The main loop runs on a manual clock; the driver acts as a finger.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_test_util.h"
#include "app/base/QMBaseNavigationController.h"
#include "app/course/QMCourseDataModel.h"
#include "app/course/QMLiveGroupModel.h"
#include "app/session/QMUser.h"
#include "app/shell/AppDelegate.h"
#include "app/store/QMCoreDataHelper.h"
#include "learning/live/QMLiveDetailController.h"
#include "learning/live/QMLiveStoryboard.h"
#include "main/assembly/ApplicationAssembly.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/storyboard/Storyboard.h"
#include "support/process_reset.h"
#include "support/scoped_manual_clock.h"

namespace learning::livetest {

// Keeps the groups of the live list's first page.
class LiveListReceiver : public app::QMCourseDataModelDelegate {
 public:
  void networkGetLiveCourseSuccess(const std::vector<std::shared_ptr<app::QMLiveGroupModel>>& list,
                                   int /*sumNumber*/) override {
    groups = list;
    arrived = true;
  }
  void networkGetLiveCourseFailed() override { arrived = true; }

  std::vector<std::shared_ptr<app::QMLiveGroupModel>> groups;
  bool arrived = false;
};

class LiveScreenTest : public ::testing::Test {
 protected:
  LiveScreenTest() {
    app::QMCoreDataHelper::resetSharedInstanceForTesting();
    assembly::ApplicationAssembly::connectParts();
  }

  ~LiveScreenTest() override {
    app::QMCoreDataHelper::resetSharedInstanceForTesting();
    testsupport::resetForTesting();
    // Whatever the screens left posted runs now, against the fresh state.
    ns::RunLoop::main().runPending();
  }

  void SetUp() override {
    const app::apptest::AppTestEnvironment::Session session = app_.postLogin();
    const std::shared_ptr<app::QMUser>& user = app::QMUser::sharedInstance();
    user->setUserId(session.userId);
    user->setUserLoginName(app::apptest::kLearnerName);
    user->setUserSid(session.sid);
    auto receiver = std::make_shared<LiveListReceiver>();
    auto model = std::make_shared<app::QMCourseDataModel>();
    model->setDelegate(receiver);
    model->networkGetLiveCourseWithSeason(nullptr, 1);
    ASSERT_TRUE(runUntil([&] { return receiver->arrived; }));
    groups_ = receiver->groups;
    ASSERT_FALSE(groups_.empty());
    app_.window().setRootViewController(root_);
    settle();
    app_.backend().clearRecordedRequests();
  }

  // The group `groupId` of the live list.
  std::shared_ptr<app::QMLiveGroupModel> group(const std::string& groupId) const {
    for (const std::shared_ptr<app::QMLiveGroupModel>& each : groups_) {
      if (each->groupID() == groupId) {
        return each;
      }
    }
    ADD_FAILURE() << "no live group " << groupId;
    return nullptr;
  }

  // Makes the live-detail screen from its storyboard scene, gives it the group `groupId` and presents it in
  // a navigation controller from the root screen, as the subject screen does.
  std::shared_ptr<QMLiveDetailController> openDetail(const std::string& groupId) {
    ns::Result<uikit::Storyboard> storyboard =
        uikit::Storyboard::storyboardWithName(app::AppDelegate::kCourseStoryboard);
    EXPECT_TRUE(storyboard.ok());
    auto detail = std::dynamic_pointer_cast<QMLiveDetailController>(
        storyboard.value()
            .instantiateViewControllerWithIdentifier(QMLiveStoryboard::kLiveDetailScene)
            .value());
    EXPECT_TRUE(detail);
    detail->setGroupModel(group(groupId));
    root_->presentViewController(std::make_shared<app::QMBaseNavigationController>(detail), true);
    settle();
    return detail;
  }

  // Taps the lesson named `name` and waits for the loading HUD to go.
  void enterLesson(const std::string& name) {
    ASSERT_TRUE(uikit::Driver::selectRow(name).ok()) << screen();
    waitForLoadingToGo();
  }
  // Runs the main loop until the loading HUD has gone, and then what follows at once.
  void waitForLoadingToGo() {
    ASSERT_TRUE(runUntil([] { return !screenShows("loading"); })) << screen();
    settle();
  }

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

  std::size_t parameterRequestsSent() {
    return app_.backend().recordedRequests(app::QMCourseDataModel::kLiveParamPath).size();
  }

  testsupport::ScopedManualClock clock_;
  app::apptest::AppTestEnvironment app_{app::apptest::AppTestEnvironment::Media::kServed};
  std::shared_ptr<uikit::ViewController> root_ = std::make_shared<uikit::ViewController>();
  std::vector<std::shared_ptr<app::QMLiveGroupModel>> groups_;
};

}  // namespace learning::livetest
