#include <gtest/gtest.h>

#include <vector>

#include "platform/foundation/notify/NotificationCenter.h"
#include "store_test_util.h"

namespace app {

namespace storetest {
namespace {

class StoreLearningPositionTest : public StoreTest {
 protected:
  void SetUp() override {
    for (std::string_view name : {kUpdateServerProgressNotification, kGetServerProgressNotification}) {
      tokens_.push_back(ns::NotificationCenter::defaultCenter().addObserverForName(
          std::string(name), nullptr, nullptr, [this](const ns::Notification& notification) {
            posted_.push_back(notification.name);
            postedObjects_.push_back(notification.object);
          }));
    }
    subject_ = helper().createSubjectWithDic(json(kSampleSubject));
    ASSERT_TRUE(posted_.empty());
  }

  void TearDown() override {
    for (const auto& token : tokens_) {
      ns::NotificationCenter::defaultCenter().removeObserver(token);
    }
  }

  void storeServerPosition(const std::string& date) {
    helper().createSubjectWithDic(
        json(R"({"courseId": 7, "onStageId": 12, "onLearning": {"id": 4711, "date": )" + date + "}}"));
  }

  void setLocalPosition(const std::string& lesson, const std::string& time) {
    subject_->setOnClassID(lesson);
    subject_->setOnClassTime(time);
  }

  std::shared_ptr<QMSubject> subject_;
  std::vector<std::string> posted_;
  std::vector<std::shared_ptr<ns::Object>> postedObjects_;
  std::vector<ns::NotificationCenter::ObserverToken> tokens_;
};

TEST_F(StoreLearningPositionTest, WithoutALocalTimeTheServersPositionIsAdopted) {
  storeServerPosition(R"("2024.03.05 20:15")");
  EXPECT_EQ(subject_->onStageID(), "12");
  EXPECT_EQ(subject_->onClassID(), "4711");
  EXPECT_EQ(subject_->onClassTime(), "2024.03.05 20:15");
  EXPECT_EQ(posted_, (std::vector<std::string>{"GetServerProgress"}));
  EXPECT_EQ(postedObjects_.front(), subject_);
  EXPECT_EQ(subject_->getNearlyPlayedStage(), subject_->sortedStageArray()[1]);
}

TEST_F(StoreLearningPositionTest, ANewerLocalPositionIsKeptAndSentToTheServer) {
  setLocalPosition("9", "2024.03.05 20:16");
  storeServerPosition(R"("2024.03.05 20:15")");
  EXPECT_EQ(subject_->onClassID(), "9");
  EXPECT_EQ(subject_->onClassTime(), "2024.03.05 20:16");
  EXPECT_EQ(posted_, (std::vector<std::string>{"UpdateServerProgress"}));
}

TEST_F(StoreLearningPositionTest, AnOlderOrEqualLocalPositionGivesWayToTheServers) {
  setLocalPosition("9", "2024.03.05 20:15");
  storeServerPosition(R"("2024.03.05 20:15")");
  EXPECT_EQ(subject_->onClassID(), "4711");
  setLocalPosition("9", "2023.12.31 23:59");
  storeServerPosition(R"("2024.01.01 00:00")");
  EXPECT_EQ(subject_->onClassID(), "4711");
  EXPECT_EQ(subject_->onClassTime(), "2024.01.01 00:00");
  EXPECT_EQ(posted_, (std::vector<std::string>{"GetServerProgress", "GetServerProgress"}));
}

TEST_F(StoreLearningPositionTest, AServerTimeThatDoesNotParseChangesAndPostsNothing) {
  setLocalPosition("9", "2024.03.05 20:16");
  for (const char* date : {R"("yesterday")", R"("2024.02.30 10:00")", R"("")", "null", "20240305"}) {
    storeServerPosition(date);
    EXPECT_EQ(subject_->onClassID(), "9") << date;
    EXPECT_EQ(subject_->onClassTime(), "2024.03.05 20:16") << date;
  }
  helper().createSubjectWithDic(json(R"({"courseId": 7, "onLearning": {}})"));
  EXPECT_TRUE(posted_.empty());
}

TEST_F(StoreLearningPositionTest, AnUnreadableLocalTimeCountsAsNone) {
  subject_->setOnClassTime("garbled");
  helper().createSubjectWithDic(
      json(R"({"courseId": 7, "onLearning": {"id": 1, "date": "2024.03.05 20:15"}})"));
  EXPECT_EQ(subject_->onClassID(), "1");
  // A missing "onStageId" reads as empty: there is no recent stage to open.
  EXPECT_EQ(subject_->onStageID(), "");
  EXPECT_EQ(subject_->getNearlyPlayedStage(), nullptr);
  EXPECT_EQ(posted_, (std::vector<std::string>{"GetServerProgress"}));
}

TEST_F(StoreLearningPositionTest, TheLastPlayedLessonIsKnownThroughItsSubject) {
  helper().createCourseWithDic(json(kSampleChapter), subject_->sortedStageArray().front());
  subject_->setOnClassID("10");
  EXPECT_TRUE(course("10")->isNearlyPlayed());
  EXPECT_FALSE(course("9")->isNearlyPlayed());
  subject_->setOnClassID("110");
  EXPECT_FALSE(course("110")->isNearlyPlayed());
}

}  // namespace
}  // namespace storetest

}  // namespace app
