// The progress hand-off: the store's date rule decides, the subject screen sends or fetches.

#include <gtest/gtest.h>

#include <cmath>

#include "app/course/QMCourseDataModel.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSubject.h"
#include "http_client/HCURLConnectionOperation.h"
#include "learning/course/QMListenController.h"
#include "learning/downloads/download_test_util.h"
#include "learning/subject/subject_test_util.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/text/DateFormatter.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/driver/Driver.h"
#include "support/scoped_time_zone.h"

namespace learning::subjecttest {
namespace {

constexpr char kNoNetworkToast[] = "暂无网络,请检查网络";

class SubjectProgressTest : public SubjectScreenTest {
 protected:
  // Stores subject 101 with a position of `second` in lesson 101104, played at `time`.
  static void storeLocalPosition(const std::string& second, const std::string& time) {
    app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
    const auto stored = store.createSubjectWithDic(*ns::JSONSerialization::JSONObjectWithData(
        R"({"courseId": 101, "id": 3101, "name": "思想政治理论", "available": 1,
            "stageList": [{"nodeId": 1011, "name": "基础阶段"}]})"));
    stored->setOnStageID("1011");
    stored->setOnClassID("101104");
    stored->setOnClassProgress(second);
    stored->setOnClassTime(time);
    store.saveContext();
  }

  // Opens 思想政治理论's 基础阶段 and returns its playback screen once a lesson plays in it, or nullptr.
  std::shared_ptr<QMListenController> openPlayingStage() {
    if (!uikit::Driver::tap("思想政治理论").ok() || !uikit::Driver::tap("基础阶段").ok()) {
      return nullptr;
    }
    auto listen =
        std::dynamic_pointer_cast<QMListenController>(delegate_->drawer()->presentedViewController());
    if (listen == nullptr ||
        !runUntil([&] { return listen->playingCourse() != nullptr && listen->playerView() != nullptr; })) {
      return nullptr;
    }
    return listen;
  }

  std::vector<sample_backend::api::RecordedApiRequest> saves() const {
    return api_->recordedRequests(app::QMCourseDataModel::kSaveProgressPath);
  }
};

TEST_F(SubjectProgressTest, ANewerLocalPositionIsSentWhenTheSubjectsCome) {
  storeLocalPosition("42", "2030.01.01 08:00");
  ASSERT_TRUE(launch());
  ASSERT_TRUE(runUntil([&] { return !saves().empty(); }));
  const auto sent = saves().front().request;
  EXPECT_EQ(sent.parameter("nodeId"), "101104");
  EXPECT_EQ(sent.parameter("courseId"), "101");
  EXPECT_EQ(sent.parameter("videoTime"), "42");
  EXPECT_EQ(subject("101")->onClassID(), "101104") << "the local position stays";
}

TEST_F(SubjectProgressTest, ANewerServerPositionIsAdoptedAndItsSecondFetched) {
  storeLocalPosition("42", "2015.01.01 08:00");
  ASSERT_TRUE(launch());
  ASSERT_TRUE(runUntil([&] { return subject("101")->onClassProgress() == "35"; }));
  EXPECT_EQ(subject("101")->onClassID(), "101105");
  EXPECT_EQ(subject("101")->onClassTime(), "2016.09.01 20:15");
  EXPECT_TRUE(saves().empty());
}

TEST_F(SubjectProgressTest, OneFetchIsOnItsWayPerSubjectAtATime) {
  ASSERT_TRUE(launch());
  ASSERT_TRUE(runUntil([&] { return subject("101")->onClassProgress() == "35"; }));
  const std::size_t before = requestsOn(app::QMCourseDataModel::kGetProgressPath);
  const auto stored = subject("101");
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  const auto fetch = [&] {
    center.postNotificationName(std::string(app::kGetServerProgressNotification), stored);
  };
  stored->setOnClassProgress("");
  fetch();
  fetch();
  fetch();
  ASSERT_TRUE(runUntil([&] { return stored->onClassProgress() == "35"; }));
  EXPECT_EQ(requestsOn(app::QMCourseDataModel::kGetProgressPath), before + 1);
  // Once answered, the subject asks again.
  stored->setOnClassProgress("");
  fetch();
  ASSERT_TRUE(runUntil([&] { return stored->onClassProgress() == "35"; }));
  EXPECT_EQ(requestsOn(app::QMCourseDataModel::kGetProgressPath), before + 2);
}

TEST_F(SubjectProgressTest, OfflineAPositionStaysStoredWithoutAToastAndGoesOutWithTheNextSubjects) {
  ASSERT_TRUE(launch());
  ASSERT_TRUE(runUntil([&] { return subject("101")->onClassProgress() == "35"; }));
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  const auto stored = subject("101");
  stored->setOnClassProgress("12");
  stored->setOnClassTime("2030.01.01 08:00");
  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(app::kUpdateServerProgressNotification), stored);
  EXPECT_FALSE(screenShows(kNoNetworkToast)) << screenText();
  EXPECT_TRUE(saves().empty());

  outside::SimulatedNetwork::setStatus(outside::ReachableViaWiFi);
  screen()->viewWillAppear(false);
  ASSERT_TRUE(runUntil([&] { return !saves().empty(); }));
  EXPECT_EQ(saves().front().request.parameter("videoTime"), "12");
}

// The subject list was asked for while the link was up and answers after it went down: the server's newer
// position is adopted, but its second is not fetched and no toast tells of the network.
TEST_F(SubjectProgressTest, ASubjectListAnsweredOfflineFetchesNoPositionAndShowsNoToast) {
  ASSERT_TRUE(launch());
  ASSERT_TRUE(runUntil([&] { return subject("101")->onClassProgress() == "35"; }));
  const std::size_t fetches = requestsOn(app::QMCourseDataModel::kGetProgressPath);
  subject("101")->setOnClassProgress("42");
  subject("101")->setOnClassTime("2015.01.01 08:00");

  // The link goes down once the reply is in, before the screen handles it.
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  const auto replyIn = center.addObserverForName(
      http_client::kHCNetworkingOperationDidFinishNotification, nullptr, nullptr,
      [](const ns::Notification& notification) {
        const auto operation =
            std::dynamic_pointer_cast<http_client::HCURLConnectionOperation>(notification.object);
        const std::optional<ns::URL> url = operation ? operation->request().url() : std::nullopt;
        if (url && url->path() == app::QMCourseDataModel::kAllSubjectsPath) {
          outside::SimulatedNetwork::setStatus(outside::NotReachable);
        }
      });
  screen()->viewWillAppear(false);
  const bool handled = runUntil([&] { return subject("101")->onClassTime() == "2016.09.01 20:15"; });
  center.removeObserver(replyIn);
  ASSERT_TRUE(handled);
  EXPECT_FALSE(screenShows(kNoNetworkToast)) << screenText();
  EXPECT_EQ(subject("101")->onClassProgress(), "42") << "the stored second stays until the next list";
  EXPECT_EQ(requestsOn(app::QMCourseDataModel::kGetProgressPath), fetches);
}

TEST_F(SubjectProgressTest, GoingToTheBackgroundAfterLeavingALessonKeepsTheSavedPosition) {
  ASSERT_TRUE(launch());
  std::shared_ptr<QMListenController> listen = openPlayingStage();
  ASSERT_NE(listen, nullptr);
  listen->playerOnClickedNavBack(*listen->playerView(), std::nullopt);
  ASSERT_TRUE(runUntil([&] { return delegate_->drawer()->presentedViewController() == nullptr; }));
  listen.reset();
  subject("101")->setOnClassProgress("37");

  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(uikit::kApplicationWillResignActiveNotification));
  runUntil([] { return true; });
  EXPECT_EQ(subject("101")->onClassProgress(), "37");
}

TEST_F(SubjectProgressTest, AheadOfGmtTheLastPlayIsTimedAndShownOnTheDevicesClock) {
  const testsupport::ScopedTimeZone shanghai("Asia/Shanghai");
  const ns::DateFormatter local(app::QMSubject::kClassTimeFormat, ns::DateFormatter::Zone::kLocal);
  const ns::DateFormatter gmt(app::QMSubject::kClassTimeFormat, ns::DateFormatter::Zone::kGMT);
  ASSERT_TRUE(launch());
  std::shared_ptr<QMListenController> listen = openPlayingStage();
  ASSERT_NE(listen, nullptr);
  const ns::Date before = ns::Date::now();
  listen->playerOnClickedNavBack(*listen->playerView(), std::nullopt);
  const ns::Date after = ns::Date::now();
  ASSERT_TRUE(runUntil([&] { return delegate_->drawer()->presentedViewController() == nullptr; }));
  const std::string playedLesson = *listen->playingCourse()->courseID();
  listen.reset();

  const std::string written = subject("101")->onClassTime().value_or("");
  EXPECT_TRUE(written == local.stringFromDate(before) || written == local.stringFromDate(after)) << written;
  EXPECT_NE(written, gmt.stringFromDate(before)) << "eight hours ahead of GMT";
  ASSERT_TRUE(runUntil([&] { return screenShows(written); })) << "the row shows it as written\n"
                                                              << screenText();

  // The back end dates the save on its own clock, in the same zone: the next subject list finds the two
  // positions the same, so the lesson played stays the last one. (A position of 0 is not sent.)
  subject("101")->setOnClassProgress("12");
  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(app::kUpdateServerProgressNotification), subject("101"));
  ASSERT_TRUE(runUntil([&] { return !saves().empty(); }));
  downloadtest::NotificationCount fetches{std::string(app::kGetServerProgressNotification)};
  screen()->viewWillAppear(false);
  ASSERT_TRUE(runUntil([&] { return fetches.count > 0; }));
  EXPECT_EQ(subject("101")->onClassID(), playedLesson);
  const std::optional<ns::Date> adopted = local.dateFromString(subject("101")->onClassTime().value_or(""));
  ASSERT_TRUE(adopted.has_value());
  EXPECT_LE(std::abs(adopted->timeIntervalSinceDate(before)), 120);
}

}  // namespace
}  // namespace learning::subjecttest
