// The playback screen's decisions over a real store: the lessons in tree order with previous and next at
// the ends and across chapters and units, the road of a lesson (offline, online, or the cellular question
// first), and the last-played position read and saved.

#include <gtest/gtest.h>

#include "app/session/QMUser.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/store_test_util.h"
#include "learning/course/QMLearningPosition.h"
#include "learning/course/QMLessonRoad.h"
#include "learning/course/QMLessonSequence.h"
#include "learning/downloads/download_test_util.h"
#include "platform/foundation/text/DateFormatter.h"
#include "platform/foundation/values/Date.h"

namespace learning {
namespace {

using app::storetest::idsOf;
using app::storetest::json;

// The sample catalogue (lessons 9 and 10 in unit 110 of chapter 100, lesson 120 in the chapter, lesson 200
// under the stage), then a chapter whose only unit is empty, then a chapter with a unit of one lesson.
class LessonDecisionsTest : public app::storetest::StoreCatalogueTest {
 protected:
  void SetUp() override {
    StoreCatalogueTest::SetUp();
    helper().createCourseWithDic(json(R"({"nodeId": 300, "name": "Empty", "type": 0, "children": [
                   {"nodeId": 310, "name": "Empty unit", "type": 1, "children": []}]})"),
                                 stage_);
    helper().createCourseWithDic(json(R"({"nodeId": 400, "name": "Chapter 4", "type": 0, "children": [
                   {"nodeId": 410, "name": "Unit 4", "type": 1, "children": [
                     {"nodeId": 411, "name": "Lesson 411", "type": 2, "videoId": 4110}]}]})"),
                                 stage_);
    helper().saveContext();
  }
  ~LessonDecisionsTest() override { app::QMUser::resetSharedInstanceForTesting(); }

  std::string previousOf(const std::string& id) const {
    const auto found = QMLessonSequence(*stage_).previous(*course(id));
    return found ? found->courseID().value_or("nil") : "none";
  }
  std::string nextOf(const std::string& id) const {
    const auto found = QMLessonSequence(*stage_).next(*course(id));
    return found ? found->courseID().value_or("nil") : "none";
  }
};

TEST_F(LessonDecisionsTest, LessonsFollowTheTreeAcrossChaptersAndUnitsAtAnyDepth) {
  const QMLessonSequence sequence(*stage_);
  EXPECT_EQ(idsOf(sequence.lessons()), (std::vector<std::string>{"9", "10", "120", "200", "411"}));
  EXPECT_EQ(sequence.first()->courseID(), "9");

  EXPECT_EQ(nextOf("9"), "10");
  EXPECT_EQ(nextOf("10"), "120") << "out of the unit into its chapter";
  EXPECT_EQ(nextOf("120"), "200") << "out of the chapter to a lesson under the stage";
  EXPECT_EQ(nextOf("200"), "411") << "over a chapter without lessons, down two levels";
  EXPECT_EQ(nextOf("411"), "none") << "the last lesson";

  EXPECT_EQ(previousOf("411"), "200");
  EXPECT_EQ(previousOf("200"), "120");
  EXPECT_EQ(previousOf("120"), "10");
  EXPECT_EQ(previousOf("9"), "none") << "the first lesson";
  EXPECT_EQ(nextOf("110"), "none") << "a unit is not a lesson of the sequence";
}

TEST_F(LessonDecisionsTest, AStageWithoutLessonsHasNoFirstLesson) {
  const auto other = stage_->ownBySubject()->sortedStageArray().back();
  ASSERT_NE(other, stage_);
  EXPECT_EQ(QMLessonSequence(*other).first(), nullptr);
}

TEST_F(LessonDecisionsTest, ADownloadedLessonPlaysOfflineAndOthersOnlineOrAfterTheQuestion) {
  app::QMUser& user = *app::QMUser::sharedInstance();
  const auto downloaded = course("9");
  const auto online = course("10");
  downloaded->fileCacheInfo()->setStatus(app::kQMDownloadDone);
  online->fileCacheInfo()->setStatus(app::kQMDownloadRunning);
  user.setOnlyWifiPlay(true);
  user.setKeepRememberPlay(false);

  for (const auto network : {outside::NotReachable, outside::ReachableViaWWAN, outside::ReachableViaWiFi}) {
    EXPECT_EQ(lessonRoadFor(*downloaded, network, user), QMLessonRoad::kOffline) << network;
  }
  EXPECT_EQ(lessonRoadFor(*online, outside::ReachableViaWiFi, user), QMLessonRoad::kOnline);
  EXPECT_EQ(lessonRoadFor(*online, outside::NotReachable, user), QMLessonRoad::kOnline)
      << "no question without a network: the server time fails instead";
  EXPECT_EQ(lessonRoadFor(*online, outside::ReachableViaWWAN, user), QMLessonRoad::kAskFirst);

  user.setKeepRememberPlay(true);
  EXPECT_EQ(lessonRoadFor(*online, outside::ReachableViaWWAN, user), QMLessonRoad::kOnline)
      << "a remembered choice asks no more";
  user.setKeepRememberPlay(false);
  user.setOnlyWifiPlay(false);
  EXPECT_EQ(lessonRoadFor(*online, outside::ReachableViaWWAN, user), QMLessonRoad::kOnline);
}

TEST_F(LessonDecisionsTest, TheLastPlayedLessonResumesOnlyInItsOwnStage) {
  const auto subject = stage_->ownBySubject();
  subject->setOnClassID("10");
  subject->setOnStageID(stage_->stageID());
  subject->setOnClassProgress("315");
  const auto lastPlayed = QMLearningPosition::lastPlayedLessonOf(*stage_);
  ASSERT_TRUE(lastPlayed.has_value());
  EXPECT_EQ(lastPlayed->lesson, course("10"));
  EXPECT_EQ(lastPlayed->second, 315u);

  const auto otherStage = subject->sortedStageArray().back();
  EXPECT_FALSE(QMLearningPosition::lastPlayedLessonOf(*otherStage).has_value())
      << "the last lesson lies in another stage, so its second does not apply here";
  subject->setOnStageID("12");
  EXPECT_FALSE(QMLearningPosition::lastPlayedLessonOf(*stage_).has_value());
  subject->setOnStageID(stage_->stageID());
  subject->setOnClassID("999");
  EXPECT_FALSE(QMLearningPosition::lastPlayedLessonOf(*stage_).has_value());
}

TEST_F(LessonDecisionsTest, SavingThePositionWritesTheSubjectAndAsksForTheUpload) {
  downloadtest::NotificationCount uploads{std::string(app::kUpdateServerProgressNotification)};
  const ns::DateFormatter gmt(app::QMSubject::kClassTimeFormat, ns::DateFormatter::Zone::kGMT);
  const ns::Date before = ns::Date::now();
  QMLearningPosition::save(course("411"), 42);

  const auto subject = stage_->ownBySubject();
  EXPECT_EQ(subject->onClassID(), "411");
  EXPECT_EQ(subject->onStageID(), stage_->stageID());
  EXPECT_EQ(subject->onClassProgress(), "42");
  // Written in the zone in which the store compares it with the back end's time.
  const auto written = gmt.dateFromString(subject->onClassTime().value_or(""));
  ASSERT_TRUE(written.has_value()) << subject->onClassTime().value_or("nil");
  EXPECT_LE(std::abs(written->timeIntervalSinceDate(before)), 120);
  EXPECT_EQ(uploads.count, 1);
  EXPECT_EQ(uploads.lastObject, subject);

  QMLearningPosition::save(nullptr, 3);
  EXPECT_EQ(uploads.count, 1) << "nothing to save without a lesson";
}

}  // namespace
}  // namespace learning
