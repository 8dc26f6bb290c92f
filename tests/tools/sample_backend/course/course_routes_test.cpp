// The study paths of the sample back end, answered without a transport: what a learner saves, and what
// the back end refuses.

#include <gtest/gtest.h>

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
  const Parameters lesson = {{"nodeId", "103104"}, {"courseId", "103"}};
  Parameters save = lesson;
  save["videoTime"] = "61";
  EXPECT_EQ(reply("/pravik/vestra/saveProcess", save)["code"], 0);
  EXPECT_EQ(reply("/pravik/vestra/getProcess", lesson)["obj"]["timeRecord"], "61");
  EXPECT_EQ(reply("/pravik/vestra/getProcess", lesson, "20160002")["obj"]["timeRecord"], "0");

  const nlohmann::json subjects = reply("/pravik/vestra/getAllSubjectsInfo", {})["obj"]["subjects"];
  EXPECT_EQ(subjects[2]["onLearning"], (nlohmann::json{{"id", "103104"}, {"date", "2016.09.04 14:40"}}));
  EXPECT_EQ(subjects[2]["onStageId"], "1031");
  // The seeded position of the first subject is still there.
  EXPECT_EQ(subjects[0]["onLearning"]["id"], "101105");
  EXPECT_EQ(
      reply("/pravik/vestra/getProcess", {{"nodeId", "101105"}, {"courseId", "101"}})["obj"]["timeRecord"],
      "315");
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
