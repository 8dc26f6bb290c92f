// The live list and a live lesson's entry parameters end to end against the sample back end.

#include <gtest/gtest.h>

#include <set>

#include "app/course/QMLiveModel.h"
#include "app/course/course_test_util.h"

namespace app {

namespace coursetest {
namespace {

class LiveTest : public CourseDataModelTest {};

TEST_F(LiveTest, TheFirstPageListsTheSeasonsGroupsInEveryStatus) {
  const std::string session = logIn();
  ASSERT_EQ(callbacksOf([&] { model_->networkGetLiveCourseWithSeason(nullptr, 1); }),
            Events{"networkGetLiveCourseSuccess"});
  const auto sent = app_.sentParameters(QMCourseDataModel::kLiveCoursePath);
  EXPECT_EQ(sent[0].at("page"), "1");
  EXPECT_EQ(sent[0].at("pageSize"), "100");
  EXPECT_EQ(sent[0].at("sid"), session);
  EXPECT_EQ(sent[0].count("seasonId"), 0u);
  EXPECT_EQ(delegate_->sumNumber, 4);
  std::set<std::int64_t> groupStatuses;
  std::set<std::int64_t> liveStatuses;
  for (const std::shared_ptr<QMLiveGroupModel>& group : delegate_->groups) {
    groupStatuses.insert(group->groupStatus());
    for (const std::shared_ptr<QMLiveModel>& live : group->groupLives()) {
      liveStatuses.insert(live->liveStatus());
      EXPECT_EQ(live->groupModel(), group);
    }
  }

  const std::set<std::int64_t> everyStatus = {QMLiveModel::kStatusEnded, QMLiveModel::kStatusNotStarted,
                                              QMLiveModel::kStatusLive, QMLiveModel::kStatusReplay};
  EXPECT_EQ(groupStatuses, everyStatus);
  EXPECT_EQ(liveStatuses, everyStatus);
  const std::shared_ptr<QMLiveGroupModel>& first = delegate_->groups[0];
  EXPECT_EQ(first->groupID(), "9001");
  // An ended lesson that can be replayed reads as a replay; one that cannot stays ended.
  EXPECT_EQ(first->groupLives()[0]->liveStatus(), QMLiveModel::kStatusReplay);
  EXPECT_EQ(first->groupLives()[1]->liveStatus(), QMLiveModel::kStatusEnded);
}

TEST_F(LiveTest, AChosenSeasonAndPageAreSent) {
  logInAndLoadSubjects();
  const std::vector<std::shared_ptr<QMSeason>> seasons =
      QMCoreDataHelper::sharedInstance().fetchEntitiesOf<QMSeason>(cd::Predicate::equals("seasonId", "2018"));
  ASSERT_EQ(seasons.size(), 1u);
  ASSERT_EQ(callbacksOf([&] { model_->networkGetLiveCourseWithSeason(seasons[0], 2); }),
            Events{"networkGetLiveCourseSuccess"});
  const apptest::Parameters sent = app_.sentParameters(QMCourseDataModel::kLiveCoursePath).at(0);
  EXPECT_EQ(sent.at("seasonId"), "2018");
  EXPECT_EQ(sent.at("page"), "2");
  EXPECT_TRUE(delegate_->groups.empty());
  EXPECT_EQ(delegate_->sumNumber, 1);
}

TEST_F(LiveTest, NothingIsAskedWhileLoggedOut) {
  model_->networkGetLiveCourseWithSeason(nullptr, 1);
  model_->networkGetServerTime();
  ASSERT_TRUE(waitForEvents());
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"networkGetServerTimeSuccess"});
  EXPECT_TRUE(app_.backend().recordedRequests(QMCourseDataModel::kLiveCoursePath).empty());
}

TEST_F(LiveTest, EntryParametersFillTheLiveLesson) {
  logIn();
  callbacksOf([&] { model_->networkGetLiveCourseWithSeason(nullptr, 1); });
  const std::shared_ptr<QMLiveModel> live = delegate_->groups.at(0)->groupLives().at(2);
  ASSERT_EQ(callbacksOf([&] { model_->networkGetLiveParamWith(live); }),
            Events{"networkGetLiveParamSuccess"});
  const auto sent = app_.sentParameters(QMCourseDataModel::kLiveParamPath);
  EXPECT_EQ(sent[0].at("type"), "1");
  EXPECT_EQ(sent[0].at("knowledge_id"), "90013");
  EXPECT_EQ(sent[0].at("user_type"), "1");
  EXPECT_EQ(live->liveProviderId(), "room90013");
  EXPECT_EQ(live->liveProviderType(), 3);
  live->setLiveID("404");
  EXPECT_EQ(callbacksOf([&] { model_->networkGetLiveParamWith(live); }), Events{"networkGetLiveParamFailed"});
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"视频不存在"});
}

}  // namespace
}  // namespace coursetest

}  // namespace app
