#include <gtest/gtest.h>

#include "app/course/QMLiveGroupModel.h"
#include "app/course/QMLiveModel.h"
#include "platform/foundation/formats/JSONSerialization.h"

namespace app {

namespace {

using Texts = std::vector<std::optional<std::string>>;

ns::Value json(std::string_view text) {
  ns::Result<ns::Value> parsed = ns::JSONSerialization::JSONObjectWithData(text);
  EXPECT_TRUE(parsed.ok()) << text;
  return parsed ? *parsed : ns::Value();
}

// Each field from its key; ids as text, ended with a replay reads as replay; lessons let a gone group go.
TEST(LiveModelsTest, AGroupTakesItsFieldsAndOwnsItsLessonsInOrder) {
  auto group = QMLiveGroupModel::initWithServerData(json(R"({
    "groupId": "g1", "groupName": "Evening class", "pic": "http://img/g1.png", "consumerType": "3",
    "beginTime": "2024-03-01", "endTime": "2024-06-30", "dateTime": "Mon 19:00", "teacherName": "Li",
    "status": 1, "totalNum": "40", "currNum": 12,
    "lives": [
      {"liveId": "l1", "name": "Opening", "teacherName": "Li", "beginTime": "19:00", "endTime": "20:30",
       "dateTime": "03-01", "status": -1, "canReplay": true},
      {"liveId": 2, "name": "Second", "status": -1, "canReplay": false},
      {"liveId": "l3", "status": 1, "canReplay": true},
      {"liveId": "l4", "status": "0"}
    ]})"));
  EXPECT_EQ((Texts{group->groupID(), group->groupName(), group->groupPicUrl(), group->groupConsumerType(),
                   group->groupBeginTime(), group->groupEndTime(), group->groupDateTime(),
                   group->groupTeacherName(), group->groupLivingID()}),
            (Texts{"g1", "Evening class", "http://img/g1.png", "3", "2024-03-01", "2024-06-30", "Mon 19:00",
                   "Li", std::nullopt}));
  EXPECT_EQ((std::vector<std::int64_t>{group->groupStatus(), group->groupTotalNum(), group->groupCurrNum()}),
            (std::vector<std::int64_t>{1, 40, 12}));
  ASSERT_EQ(group->groupLives().size(), 4u);
  const std::shared_ptr<QMLiveModel> first = group->groupLives()[0];
  EXPECT_EQ((Texts{first->liveID(), first->liveName(), first->liveTeacherName(), first->liveBeginTime(),
                   first->liveEndTime(), first->liveDateTime()}),
            (Texts{"l1", "Opening", "Li", "19:00", "20:30", "03-01"}));
  Texts ids;
  std::vector<std::int64_t> statuses;
  for (const auto& live : group->groupLives()) {
    EXPECT_EQ(live->groupModel(), group);
    ids.push_back(live->liveID());
    statuses.push_back(live->liveStatus());
  }
  EXPECT_EQ(ids, (Texts{"l1", "2", "l3", "l4"}));
  EXPECT_EQ(statuses, (std::vector<std::int64_t>{QMLiveModel::kStatusReplay, QMLiveModel::kStatusEnded,
                                                 QMLiveModel::kStatusLive, QMLiveModel::kStatusNotStarted}));

  group.reset();
  EXPECT_EQ(first->groupModel(), nullptr);
  EXPECT_EQ(first->liveID(), "l1");
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
  auto live = QMLiveModel::initWithServerData(json(R"({"liveId": "l1"})"));
  live->setParamWithServerData(
      json(R"({"customer": "c9", "exStr": "x", "p": "secret", "providerId": 77, "providerType": "2"})"));
  EXPECT_EQ((Texts{live->liveCustomer(), live->liveExStr(), live->liveP(), live->liveProviderId()}),
            (Texts{"c9", "x", "secret", "77"}));
  EXPECT_EQ(live->liveProviderType(), 2);
  live->setParamWithServerData(json(R"({"customer": "c10"})"));
  EXPECT_EQ((Texts{live->liveCustomer(), live->liveP()}), (Texts{"c10", std::nullopt}));
  EXPECT_EQ(live->liveProviderType(), 0);
}

}  // namespace

}  // namespace app
