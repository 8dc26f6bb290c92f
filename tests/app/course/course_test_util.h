#pragma once

// CourseDataModelTest: a course data model whose delegate records every callback, over a fresh store and
// the sample back end on loopback (AppTestEnvironment).

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_test_util.h"
#include "app/course/QMCourseDataModel.h"
#include "app/course/QMLiveGroupModel.h"
#include "app/session/QMUser.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "main/assembly/ApplicationAssembly.h"

namespace app {

namespace coursetest {

inline constexpr auto kReplyDeadline = std::chrono::seconds(10);

using Events = std::vector<std::string>;

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
    assembly::ApplicationAssembly::connectParts();
    model_->setDelegate(delegate_);
  }
  ~CourseDataModelTest() override { QMCoreDataHelper::resetSharedInstanceForTesting(); }

  // Signs in through the back end as the catalogue learner `userName` and keeps the session as a login
  // does. Returns the session id.
  std::string logIn(const std::string& userName = apptest::kLearnerName,
                    const std::string& password = apptest::kLearnerPassword) {
    const apptest::AppTestEnvironment::Session session = app_.postLogin(userName, password);
    const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
    user->setUserId(session.userId);
    user->setUserLoginName(userName);
    user->setUserSid(session.sid);
    app_.backend().clearRecordedRequests();
    return session.sid;
  }

  // Runs the main loop until the delegate has heard `count` callbacks in all; returns whether it did.
  bool waitForEvents(std::size_t count = 1) {
    return ns::RunLoop::main().runUntil([&] { return delegate_->events.size() >= count; }, kReplyDeadline);
  }

  // Forgets the callbacks heard, runs `start` and then the main loop until a callback; returns the callbacks.
  Events callbacksOf(const std::function<void()>& start) {
    delegate_->events.clear();
    start();
    EXPECT_TRUE(waitForEvents()) << "no callback";
    return delegate_->events;
  }

  // Signs in and stores the subjects and seasons of the back end's first season; returns the subjects.
  std::vector<std::shared_ptr<QMSubject>> logInAndLoadSubjects() {
    logIn();
    EXPECT_EQ(callbacksOf([&] { model_->networkGetAllSubjectsWithSeason(nullptr); }),
              Events{"networkGetAllSubjectsSuccess"});
    delegate_->events.clear();
    app_.backend().clearRecordedRequests();
    return delegate_->subjects;
  }

  apptest::AppTestEnvironment app_;
  std::shared_ptr<RecordingDelegate> delegate_ = std::make_shared<RecordingDelegate>();
  std::shared_ptr<QMCourseDataModel> model_ = std::make_shared<QMCourseDataModel>();
};

}  // namespace coursetest

}  // namespace app
