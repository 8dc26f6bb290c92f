// The subject list end to end: what the sample back end's catalogue becomes in the session and the store.

#include <gtest/gtest.h>

#include "app/course/course_test_util.h"

namespace app {

namespace coursetest {
namespace {

std::vector<std::string> subjectNames(const std::vector<std::shared_ptr<QMSubject>>& subjects) {
  std::vector<std::string> names;
  for (const std::shared_ptr<QMSubject>& subject : subjects) {
    names.push_back(subject->subjectID().value_or("-") + " " + subject->subjectStaus());
  }
  return names;
}

class SubjectsTest : public CourseDataModelTest {};

TEST_F(SubjectsTest, WithoutASeasonTheFirstSeasonsSubjectsAreStoredWithTheSummary) {
  app_.backend().controls().fixServerTime(1473000000);
  logIn();
  model_->networkGetAllSubjectsWithSeason(nullptr);
  ASSERT_TRUE(waitForEvents());
  ASSERT_EQ(delegate_->events, std::vector<std::string>{"networkGetAllSubjectsSuccess"});
  EXPECT_EQ(app_.sentParameters(QMCourseDataModel::kAllSubjectsPath)[0].count("seasonId"), 0u);
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  EXPECT_EQ(user->remainderDays(), "98");
  EXPECT_EQ(user->serverTime(), "1473000000");
  EXPECT_EQ(user->onLearningSubjectNumber(), "5");
  // One lesson of the season's 39 has a position.
  EXPECT_EQ(user->onLearningProcess(), "2");

  // Reply order, with the frozen and the expired subject.
  EXPECT_EQ(
      subjectNames(delegate_->subjects),
      (std::vector<std::string>{"101 正常", "102 正常", "103 正常", "104 课程已冻结", "105 课程已过期"}));
  ASSERT_EQ(delegate_->seasons.size(), 2u);
  EXPECT_EQ(delegate_->seasons[0]->seasonId(), "2017");
  EXPECT_EQ(delegate_->seasons[0]->code(), "2017考研");
  EXPECT_EQ(delegate_->seasons[1]->seasonId(), "2018");
  for (const std::shared_ptr<QMSubject>& subject : delegate_->subjects) {
    EXPECT_EQ(subject->ownBySeason(), delegate_->seasons[0]) << *subject->subjectID();
  }

  const std::shared_ptr<QMSubject>& politics = delegate_->subjects[0];
  EXPECT_EQ(politics->subjectName(), "思想政治理论");
  std::vector<std::string> stages;
  for (const std::shared_ptr<QMStage>& stage : politics->sortedStageArray()) {
    stages.push_back(*stage->tagID() + " " + *stage->stageName());
  }

  EXPECT_EQ(stages, (std::vector<std::string>{"101_1011 基础阶段", "101_1012 强化阶段"}));
  // Where the sample learner left off comes with the list.
  EXPECT_EQ(politics->onClassID(), "101105");
  EXPECT_EQ(politics->onStageID(), "1011");
  EXPECT_EQ(politics->onClassTime(), "2016.09.01 20:15");
  EXPECT_EQ(QMCoreDataHelper::sharedInstance().getUserSubject().size(), 5u);
}

TEST_F(SubjectsTest, AChosenSeasonIsSentAndOwnsItsSubjects) {
  logInAndLoadSubjects();
  const std::vector<std::shared_ptr<QMSeason>> seasons =
      QMCoreDataHelper::sharedInstance().fetchEntitiesOf<QMSeason>(cd::Predicate::equals("seasonId", "2018"));
  ASSERT_EQ(seasons.size(), 1u);
  model_->networkGetAllSubjectsWithSeason(seasons[0]);
  ASSERT_TRUE(waitForEvents());
  EXPECT_EQ(app_.sentParameters(QMCourseDataModel::kAllSubjectsPath)[0].at("seasonId"), "2018");
  EXPECT_EQ(subjectNames(delegate_->subjects), (std::vector<std::string>{"201 正常", "202 正常"}));
  EXPECT_EQ(seasons[0]->ownSubject(), delegate_->subjects);
}

TEST_F(SubjectsTest, AListWithoutSeasonsLeavesItsSubjectsWithoutOneAndSkipsStrayEntries) {
  app_.answer(QMCourseDataModel::kAllSubjectsPath, {{"subjects", {{{"courseId", 101}}, "stray", 7}}},
              nlohmann::json::object(), sample_backend::api::SessionRule::kSignedIn);
  logIn();
  std::shared_ptr<QMSeason> season = QMCoreDataHelper::sharedInstance().createSeasonWithDic(
      ns::Value(ns::Dictionary{{"id", ns::Value(2017)}}));
  std::shared_ptr<QMSubject> subject = QMCoreDataHelper::sharedInstance().createSubjectWithDic(
      ns::Value(ns::Dictionary{{"courseId", ns::Value(101)}}));
  subject->setOwnBySeason(season);
  model_->networkGetAllSubjectsWithSeason(nullptr);
  ASSERT_TRUE(waitForEvents());
  EXPECT_EQ(delegate_->subjects, std::vector<std::shared_ptr<QMSubject>>{subject});
  EXPECT_TRUE(delegate_->seasons.empty());
  EXPECT_EQ(subject->ownBySeason(), nullptr);
  EXPECT_EQ(QMCoreDataHelper::sharedInstance().getUserSubject().size(), 1u);
  // Summary keys the reply lacks are stored as empty text.
  EXPECT_EQ(QMUser::sharedInstance()->remainderDays(), "");
}

TEST_F(SubjectsTest, AReplyStillReachesTheStoreWhenItsDataModelHasGone) {
  logIn();
  model_->networkGetAllSubjectsWithSeason(nullptr);
  model_.reset();
  // The reply block stores the subjects and then would call back, in one turn of the main loop.
  ASSERT_TRUE(ns::RunLoop::main().runUntil(
      [] { return QMCoreDataHelper::sharedInstance().getUserSubject().size() == 5; }, kReplyDeadline));
  EXPECT_TRUE(delegate_->events.empty());
}

}  // namespace
}  // namespace coursetest

}  // namespace app
