#include <gtest/gtest.h>

#include "learning/live/QMLiveGroupModel.h"
#include "learning/live/QMLiveModel.h"
#include "platform/foundation/formats/JSONSerialization.h"

namespace {

ns::Value json(std::string_view text) {
  ns::Result<ns::Value> parsed = ns::JSONSerialization::JSONObjectWithData(text);
  EXPECT_TRUE(parsed.ok()) << text;
  return parsed ? *parsed : ns::Value();
}

constexpr std::string_view kGroup = R"({
  "groupId": "g1", "groupName": "Evening class", "pic": "http://img/g1.png", "consumerType": "3",
  "beginTime": "2024-03-01", "endTime": "2024-06-30", "dateTime": "Mon 19:00", "teacherName": "Li",
  "status": 1, "totalNum": "40", "currNum": 12,
  "lives": [
    {"liveId": "l1", "name": "Opening", "teacherName": "Li", "beginTime": "19:00", "endTime": "20:30",
     "dateTime": "03-01", "status": -1, "canReplay": true},
    {"liveId": 2, "name": "Second", "status": -1, "canReplay": false},
    {"liveId": "l3", "status": 1, "canReplay": true},
    {"liveId": "l4", "status": "0"}
  ]})";

TEST(LiveModelsTest, AGroupTakesItsFieldsAndOwnsItsLessonsInOrder) {
  auto group = QMLiveGroupModel::initWithServerData(json(kGroup));
  EXPECT_EQ(group->groupID(), "g1");
  EXPECT_EQ(group->groupName(), "Evening class");
  EXPECT_EQ(group->groupPicUrl(), "http://img/g1.png");
  EXPECT_EQ(group->groupConsumerType(), "3");
  EXPECT_EQ(group->groupBeginTime(), "2024-03-01");
  EXPECT_EQ(group->groupEndTime(), "2024-06-30");
  EXPECT_EQ(group->groupDateTime(), "Mon 19:00");
  EXPECT_EQ(group->groupTeacherName(), "Li");
  EXPECT_EQ(group->groupLivingID(), std::nullopt);
  EXPECT_EQ(group->groupStatus(), 1);
  EXPECT_EQ(group->groupTotalNum(), 40);
  EXPECT_EQ(group->groupCurrNum(), 12);
  ASSERT_EQ(group->groupLives().size(), 4u);
  const auto& first = group->groupLives()[0];
  EXPECT_EQ(first->liveID(), "l1");
  EXPECT_EQ(first->liveName(), "Opening");
  EXPECT_EQ(first->liveTeacherName(), "Li");
  EXPECT_EQ(first->liveBeginTime(), "19:00");
  EXPECT_EQ(first->liveEndTime(), "20:30");
  EXPECT_EQ(first->liveDateTime(), "03-01");
  for (const auto& live : group->groupLives()) {
    EXPECT_EQ(live->groupModel(), group);
  }
  EXPECT_EQ(group->groupLives()[1]->liveID(), "2");
}

TEST(LiveModelsTest, AnEndedLessonWithAReplayReadsAsReplay) {
  auto group = QMLiveGroupModel::initWithServerData(json(kGroup));
  std::vector<std::int64_t> statuses;
  for (const auto& live : group->groupLives()) {
    statuses.push_back(live->liveStatus());
  }
  EXPECT_EQ(statuses, (std::vector<std::int64_t>{QMLiveModel::kStatusReplay, QMLiveModel::kStatusEnded,
                                                 QMLiveModel::kStatusLive, QMLiveModel::kStatusNotStarted}));
}

TEST(LiveModelsTest, MissingValuesReadAsNilOrZero) {
  auto group = QMLiveGroupModel::initWithServerData(json(R"({"groupName": null, "lives": [{}]})"));
  EXPECT_EQ(group->groupID(), std::nullopt);
  EXPECT_EQ(group->groupName(), std::nullopt);
  EXPECT_EQ(group->groupStatus(), 0);
  ASSERT_EQ(group->groupLives().size(), 1u);
  EXPECT_EQ(group->groupLives()[0]->liveID(), std::nullopt);
  EXPECT_EQ(group->groupLives()[0]->liveStatus(), 0);
  EXPECT_TRUE(QMLiveGroupModel::initWithServerData(json("[1, 2]"))->groupLives().empty());
}

TEST(LiveModelsTest, EntryParametersAreSetAndReplacedAsAWhole) {
  auto group = QMLiveGroupModel::initWithServerData(json(kGroup));
  auto live = group->groupLives()[0];
  live->setParamWithServerData(
      json(R"({"customer": "c9", "exStr": "x", "p": "secret", "providerId": 77, "providerType": "2"})"));
  EXPECT_EQ(live->liveCustomer(), "c9");
  EXPECT_EQ(live->liveExStr(), "x");
  EXPECT_EQ(live->liveP(), "secret");
  EXPECT_EQ(live->liveProviderId(), "77");
  EXPECT_EQ(live->liveProviderType(), 2);
  live->setParamWithServerData(json(R"({"customer": "c10"})"));
  EXPECT_EQ(live->liveCustomer(), "c10");
  EXPECT_EQ(live->liveP(), std::nullopt);
  EXPECT_EQ(live->liveProviderType(), 0);
}

TEST(LiveModelsTest, LessonsLetGoOfAGroupThatIsGone) {
  std::shared_ptr<QMLiveModel> live;
  {
    auto group = QMLiveGroupModel::initWithServerData(json(kGroup));
    live = group->groupLives()[0];
  }
  EXPECT_EQ(live->groupModel(), nullptr);
  EXPECT_EQ(live->liveID(), "l1");
}

}  // namespace
