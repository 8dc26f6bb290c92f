// The study paths of the sample back end, answered without a transport: what a learner saves, and what
// the back end refuses.

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "sample_backend/media/SampleImages.h"
#include "support/scoped_time_zone.h"
#include "tools/sample_backend/api/api_test_util.h"

namespace sample_backend::course {
namespace {

using api::testutil::Parameters;

class CourseRoutesTest : public ::testing::Test {
 protected:
  CourseRoutesTest() : service_(api::testutil::defaultCatalogue()) {
    service_.controls().fixServerTime(1473000000);
  }

  // Returns the parsed reply to `path` with `parameters`, sent in the session of `userId`.
  nlohmann::json reply(const std::string& path, Parameters parameters,
                       const std::string& userId = "20160001") {
    parameters["sid"] = service_.sessions().openSession(userId);
    return api::testutil::replyOf(service_, api::testutil::signedRequest(path, std::move(parameters)));
  }

  api::ApiService service_;
};

TEST_F(CourseRoutesTest, EachLearnerKeepsTheirOwnPositions) {
  // The last play is dated on the back end's own wall clock, eight hours ahead of GMT here.
  const testsupport::ScopedTimeZone shanghai("Asia/Shanghai");
  const Parameters lesson = {{"nodeId", "103104"}, {"courseId", "103"}};
  Parameters save = lesson;
  save["videoTime"] = "61";
  EXPECT_EQ(reply("/pravik/vestra/saveProcess", save)["code"], 0);
  EXPECT_EQ(reply("/pravik/vestra/getProcess", lesson)["obj"]["timeRecord"], "61");
  EXPECT_EQ(reply("/pravik/vestra/getProcess", lesson, "20160002")["obj"]["timeRecord"], "0");

  const nlohmann::json subjects = reply("/pravik/vestra/getAllSubjectsInfo", {})["obj"]["subjects"];
  EXPECT_EQ(subjects[2]["onLearning"], (nlohmann::json{{"id", "103104"}, {"date", "2016.09.04 22:40"}}));
  EXPECT_EQ(subjects[2]["onStageId"], "1031");
  // The seeded position of the first subject is still there.
  EXPECT_EQ(subjects[0]["onLearning"]["id"], "101105");
  EXPECT_EQ(
      reply("/pravik/vestra/getProcess", {{"nodeId", "101105"}, {"courseId", "101"}})["obj"]["timeRecord"],
      "35");
}

// The live list offers every road into a lesson: groups and lessons in every status, lessons of both
// providers the client opens and of another, and group pictures it can load from the host it asked.
TEST_F(CourseRoutesTest, TheLiveListOffersEveryStatusEveryProviderAndPicturesOnTheAskedHost) {
  Parameters parameters = {{"page", "1"}, {"pageSize", "100"}};
  parameters["sid"] = service_.sessions().openSession("20160001");
  api::ApiRequest request = api::testutil::signedRequest("/pravik/vestra/live", std::move(parameters));
  request.headers["host"] = "127.0.0.1:4321";
  const nlohmann::json groups = api::testutil::replyOf(service_, std::move(request))["obj"]["data"];

  std::set<int> groupStatuses;
  std::set<std::pair<int, int>> lessonRoads;  // (status, provider) of the lessons that can be entered
  std::set<int> providers;
  const std::string host = "http://127.0.0.1:4321";
  for (const nlohmann::json& group : groups) {
    groupStatuses.insert(group["status"].get<int>());
    const std::string picture = group["pic"];
    ASSERT_TRUE(picture.starts_with(host)) << picture;
    EXPECT_TRUE(media::sampleImageAtPath(picture.substr(host.size()))) << picture;
    for (const nlohmann::json& lesson : group["lives"]) {
      EXPECT_FALSE(lesson.contains("params"));
      const nlohmann::json params =
          reply("/product/queryLiveParams", {{"knowledge_id", lesson["liveId"].get<std::string>()}})["obj"];
      const int provider = params["providerType"];
      providers.insert(provider);
      const int status =
          lesson["status"] == -1 && lesson["canReplay"] == true ? 2 : lesson["status"].get<int>();
      if (status == 1 || status == 2) {
        lessonRoads.insert({status, provider});
      }
    }
  }
  EXPECT_EQ(groupStatuses, (std::set<int>{-1, 0, 1, 2}));
  EXPECT_EQ(providers, (std::set<int>{3, 4, 5}));
  for (const std::pair<int, int>& road : {std::pair{1, 3}, {2, 3}, {1, 5}, {2, 5}}) {
    EXPECT_TRUE(lessonRoads.contains(road)) << road.first << " by " << road.second;
  }
}

TEST_F(CourseRoutesTest, RequestsNamingWhatTheCatalogueLacksAreRefused) {
  // The study paths serve signed-in learners only.
  EXPECT_EQ(api::testutil::replyOf(service_,
                                   api::testutil::signedRequest("/pravik/vestra/getAllSubjectsInfo"))["code"],
            9703);
  const std::vector<std::tuple<std::string, Parameters, int>> cases = {
      {"/pravik/vestra/getAllSubjectsInfo", {{"seasonId", "1999"}}, 9723},
      {"/pravik/vestra/getCourseTreeByStageId", {{"nodeId", "101"}}, 9723},
      {"/pravik/vestra/getCourseTreeByStageId", {}, 9801},
      {"/pravik/vestra/live", {{"page", "0"}, {"pageSize", "100"}}, 9801},
      {"/product/queryLiveParams", {{"knowledge_id", "1"}}, 9711},
      {"/pravik/vestra/saveProcess", {{"nodeId", "101105"}, {"courseId", "999"}, {"videoTime", "1"}}, 9723},
      // A lesson of another subject.
      {"/pravik/vestra/saveProcess", {{"nodeId", "101105"}, {"courseId", "102"}, {"videoTime", "1"}}, 9711},
      {"/pravik/vestra/signUserProtocol",
       {{"memberProductId", "MP2017001"}, {"protocolId", "P1"}, {"name", "林知远"}, {"superId", "x"}},
       9723}};
  for (std::size_t index = 0; index < cases.size(); ++index) {
    const auto& [path, parameters, code] = cases[index];
    EXPECT_EQ(reply(path, parameters)["code"], code) << "case " << index;
  }
  for (const char* position : {"", "-1", "ten", "inf", "1x"}) {
    EXPECT_EQ(reply("/pravik/vestra/saveProcess",
                    {{"nodeId", "101105"}, {"courseId", "101"}, {"videoTime", position}})["code"],
              9801)
        << position;
  }
}

}  // namespace
}  // namespace sample_backend::course
