#pragma once

// CourseDataModelTest: a course data model whose delegate records every callback, over a fresh store and
// the sample back end on loopback (AppTestEnvironment), with helpers to sign in as a catalogue learner and
// to run the main loop until the next callback (or ten seconds).

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/app_test_util.h"
#include "app/course/QMCourseDataModel.h"
#include "app/network/TREncrypt.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "learning/live/QMLiveGroupModel.h"

namespace coursetest {

inline constexpr auto kReplyDeadline = std::chrono::seconds(10);

// Records the name of every callback, in order, and the arguments worth checking.
class RecordingDelegate : public QMCourseDataModelDelegate {
 public:
  std::vector<std::string> events;
  std::vector<std::shared_ptr<QMSubject>> subjects;
  std::vector<std::shared_ptr<QMSeason>> seasons;
  std::vector<std::shared_ptr<QMLiveGroupModel>> groups;
  int sumNumber = -1;
  std::shared_ptr<QMStage> stage;
  double serverTime = 0;

  void networkGetAllSubjectsSuccess(const std::vector<std::shared_ptr<QMSubject>>& subjectList,
                                    const std::vector<std::shared_ptr<QMSeason>>& seasonArray) override {
    events.push_back(__func__);
    subjects = subjectList;
    seasons = seasonArray;
  }
  void networkGetAllSubjectsFailed() override { events.push_back(__func__); }
  void networkGetLiveCourseSuccess(const std::vector<std::shared_ptr<QMLiveGroupModel>>& groupList,
                                   int total) override {
    events.push_back(__func__);
    groups = groupList;
    sumNumber = total;
  }
  void networkGetLiveCourseFailed() override { events.push_back(__func__); }
  void networkGetLiveParamSuccess() override { events.push_back(__func__); }
  void networkGetLiveParamFailed() override { events.push_back(__func__); }
  void networkGetCourseTreeSuccess(const std::shared_ptr<QMStage>& storedStage) override {
    events.push_back(__func__);
    stage = storedStage;
  }
  void networkGetCourseTreeFailed() override { events.push_back(__func__); }
  void networkGetServerTimeSuccess(double time) override {
    events.push_back(__func__);
    serverTime = time;
  }
  void networkGetServerTimeFailed() override { events.push_back(__func__); }
  void networkGetUserProtocolStatusSuccess() override { events.push_back(__func__); }
  void networkGetUserProtocolStatusFailed() override { events.push_back(__func__); }
  void networkSignProtocolSuccess() override { events.push_back(__func__); }
  void networkSignProtocolFailed() override { events.push_back(__func__); }
  void networkSaveVideoProgressSuccess() override { events.push_back(__func__); }
  void networkSaveVideoProgressFailed() override { events.push_back(__func__); }
  void networkGetVideoProgressSuccess() override { events.push_back(__func__); }
  void networkGetVideoProgressFailed() override { events.push_back(__func__); }
};

class CourseDataModelTest : public ::testing::Test {
 protected:
  CourseDataModelTest() {
    QMCoreDataHelper::resetSharedInstanceForTesting();
    QMCoreDataHelper::sharedInstance().setUserIdSource([] { return QMUser::sharedInstance()->userId(); });
    model_->setDelegate(delegate_);
  }
  ~CourseDataModelTest() override { QMCoreDataHelper::resetSharedInstanceForTesting(); }

  // Signs in through the back end as the catalogue learner `userName` and keeps the session as a login
  // does. Returns the session id.
  std::string logIn(const std::string& userName = "learner", const std::string& password = "quill2016") {
    apptest::AppTestEnvironment::Reply reply = app_.post(
        "/common/baselogin", ns::Dictionary{{"username", ns::Value(userName)},
                                            {"password", ns::Value(TREncrypt::base64Encrypt(password))}});
    EXPECT_TRUE(reply.object);
    const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
    user->setUserId(reply.object->find("userId")->asString());
    user->setUserLoginName(userName);
    user->setUserSid(reply.object->find("sid")->asString());
    app_.backend().clearRecordedRequests();
    return *user->userSid();
  }

  // Runs the main loop until the delegate has heard `count` callbacks in all; returns whether it did.
  bool waitForEvents(std::size_t count = 1) {
    return ns::RunLoop::main().runUntil([&] { return delegate_->events.size() >= count; }, kReplyDeadline);
  }

  // Signs in and stores the subjects and seasons of the back end's first season; returns the subjects.
  std::vector<std::shared_ptr<QMSubject>> logInAndLoadSubjects() {
    logIn();
    model_->networkGetAllSubjectsWithSeason(nullptr);
    EXPECT_TRUE(waitForEvents());
    std::vector<std::shared_ptr<QMSubject>> subjects = delegate_->subjects;
    delegate_->events.clear();
    app_.backend().clearRecordedRequests();
    return subjects;
  }

  // True while a loading indicator (a HUD that is not a toast) is up on the key window.
  bool loadingIndicatorShown() {
    for (const std::shared_ptr<uikit::View>& view : app_.window().subviews()) {
      auto hud = std::dynamic_pointer_cast<ui::ProgressHUD>(view);
      if (hud && hud->isShowing() && hud->mode() != ui::ProgressHUDMode::kText) {
        return true;
      }
    }
    return false;
  }

  // Returns the parameters of the requests of `path` the back end received, in order.
  std::vector<std::map<std::string, std::string, std::less<>>> sentParameters(std::string_view path) {
    std::vector<std::map<std::string, std::string, std::less<>>> sent;
    for (const sample_backend::api::RecordedApiRequest& record : app_.backend().recordedRequests(path)) {
      sent.push_back(record.request.parameters);
    }
    return sent;
  }

  apptest::AppTestEnvironment app_;
  std::shared_ptr<RecordingDelegate> delegate_ = std::make_shared<RecordingDelegate>();
  std::shared_ptr<QMCourseDataModel> model_ = std::make_shared<QMCourseDataModel>();
};

}  // namespace coursetest
