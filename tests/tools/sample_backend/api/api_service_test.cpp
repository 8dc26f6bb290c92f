#include <gtest/gtest.h>

#include <functional>

#include "api_test_util.h"

namespace sample_backend::api {
namespace {

using testutil::kLearnerPassword;
using testutil::Parameters;
using testutil::signedRequest;

class ApiServiceTest : public ::testing::Test {
 protected:
  ApiServiceTest() : service_(testutil::defaultCatalogue()) {}

  nlohmann::json reply(ApiRequest request) { return testutil::replyOf(service_, std::move(request)); }
  nlohmann::json reply(std::string path, Parameters parameters = {}) {
    return reply(signedRequest(std::move(path), std::move(parameters)));
  }

  // Signs in `userName` and returns the session id.
  std::string login(const std::string& userName, const std::string& base64Password) {
    nlohmann::json answer =
        reply("/common/baselogin", {{"username", userName}, {"password", base64Password}});
    EXPECT_EQ(answer["code"], 0);
    return answer.value("sid", "");
  }

  ApiService service_;
};

TEST_F(ApiServiceTest, RefusesRequestsThatFailTheChecks) {
  const std::vector<std::tuple<std::function<void(ApiRequest&)>, int, std::string>> cases = {
      {[](ApiRequest& r) { r.parameters.erase("sign"); }, kCodeMissingParameter, "missing sign"},
      {[](ApiRequest& r) { r.parameters["app_id"] = "84"; }, kCodeUnknownApplication, "unknown app_id 84"},
      {[](ApiRequest& r) { r.parameters["page"] = "2"; }, kCodeInternalError, "sign mismatch"},
      {[](ApiRequest& r) { r.headers["imei"] = "0123"; }, kCodeMissingParameter, "header imei is \"0123\""},
      {[](ApiRequest& r) { r.headers["version"] = "1.0.0"; }, kCodeMissingParameter,
       "header version is \"1.0.0\""}};
  for (const auto& [spoil, code, message] : cases) {
    ApiRequest request = signedRequest("/common/get/time", {{"page", "1"}});
    spoil(request);
    const nlohmann::json answer = reply(request);
    EXPECT_EQ(answer["code"], code) << message;
    EXPECT_EQ(answer["message"], message);
  }
  for (const char* header : {"app_name", "version", "protocol_version", "imei", "platform", "model",
                             "screensize", "channel", "network"}) {
    ApiRequest missing = signedRequest("/common/get/time");
    missing.headers.erase(header);
    EXPECT_EQ(reply(missing)["message"], std::string("missing header ") + header);
  }
  const std::vector<RecordedApiRequest> recorded = service_.recordedRequests("/common/get/time");
  ASSERT_EQ(recorded.size(), 14u);
  EXPECT_EQ(recorded[2].refusal, "sign mismatch");
  EXPECT_EQ(recorded[2].request.parameter("page"), "2");
}

TEST_F(ApiServiceTest, ServesTimeAndVersionWithoutASession) {
  service_.controls().fixServerTime(1467331200);
  EXPECT_EQ(reply("/common/get/time"), (nlohmann::json{{"code", 0}, {"message", "ok"}, {"obj", 1467331200}}));
  nlohmann::json version = reply("/app/latest_ver");
  EXPECT_EQ(version["code"], 0);
  EXPECT_EQ(version["obj"]["status"], 1);
  EXPECT_EQ(version["obj"]["forceUpdateStatus"], 1);
  EXPECT_TRUE(version["obj"]["downloadPath"].is_string());
}

TEST_F(ApiServiceTest, LoginOpensASessionAndANewerLoginDisplacesIt) {
  EXPECT_EQ(reply("/common/baselogin", {{"username", "nobody"}, {"password", "eA=="}})["code"],
            kCodeNoSuchUser);
  EXPECT_EQ(reply("/common/baselogin", {{"username", "learner"}, {"password", "eA=="}})["code"],
            kCodeWrongPassword);
  EXPECT_EQ(reply("/common/baselogin", {{"username", "learner"}})["code"], kCodeMissingParameter);

  nlohmann::json first =
      reply("/common/baselogin", {{"username", "learner"}, {"password", kLearnerPassword}});
  EXPECT_EQ(first["userId"], "20160001");
  EXPECT_EQ(first["userName"], "learner");
  const std::string firstSession = first["sid"];
  EXPECT_EQ(firstSession.size(), 32u);
  EXPECT_EQ(reply("/common/get/time", {{"sid", firstSession}})["code"], 0);

  const std::string secondSession = login("learner", kLearnerPassword);
  EXPECT_NE(secondSession, firstSession);
  EXPECT_EQ(reply("/common/get/time", {{"sid", firstSession}})["code"], kCodeSessionInvalid);
  EXPECT_EQ(reply("/common/get/time", {{"sid", secondSession}})["code"], 0);
  EXPECT_EQ(reply("/common/get/time", {{"sid", "unknown"}})["code"], kCodeSessionInvalid);
  // An empty session id is no session at all.
  EXPECT_EQ(reply("/common/get/time", {{"sid", ""}})["code"], 0);
}

TEST_F(ApiServiceTest, RoutesForSignedInLearnersGetTheLearner) {
  std::optional<std::string> seenLearner;
  service_.router().add("/test/private", SessionRule::kSignedIn, [&](const RouteContext& context) {
    seenLearner = context.userId;
    return ApiReply::success(nullptr);
  });
  EXPECT_EQ(reply("/test/private")["code"], kCodeNotSignedIn);
  EXPECT_FALSE(seenLearner);

  nlohmann::json answer = reply("/test/private", {{"sid", login("13800138000", "c2Vjb25kMjAxNg==")}});
  EXPECT_EQ(answer["code"], 0);
  EXPECT_FALSE(answer.contains("obj"));
  EXPECT_EQ(seenLearner, "20160002");
}

TEST_F(ApiServiceTest, TestControlsShapeTheNextReplyOfTheirPathOnly) {
  service_.controls().refuseNextRequest("/common/get/time", 9712);
  service_.controls().sendNextCodeAs("/common/get/time", CodeForm::kText);
  EXPECT_EQ(reply("/common/get/time")["code"], "9712");
  EXPECT_EQ(reply("/common/get/time")["code"], 0);

  service_.controls().sendNextCodeAs("/app/latest_ver", CodeForm::kMissing);
  nlohmann::json uncoded = reply("/app/latest_ver");
  EXPECT_FALSE(uncoded.contains("code"));
  EXPECT_TRUE(uncoded.contains("obj"));

  service_.controls().cutNextConnection("/common/baselogin");
  service_.controls().delayNextReply("/common/baselogin", std::chrono::milliseconds(30));
  ApiService::Answer cut = service_.answer(
      signedRequest("/common/baselogin", {{"username", "learner"}, {"password", kLearnerPassword}}));
  EXPECT_TRUE(cut.control.cutConnection);
  EXPECT_EQ(cut.control.delay, std::chrono::milliseconds(30));
  const std::vector<RecordedApiRequest> logins = service_.recordedRequests("/common/baselogin");
  ASSERT_EQ(logins.size(), 1u);
  EXPECT_EQ(logins[0].code, std::nullopt);
  EXPECT_EQ(logins[0].request.parameter("username"), "learner");
}

TEST_F(ApiServiceTest, AnswersOnlyPostsOfKnownPaths) {
  EXPECT_EQ(service_.answer(signedRequest("/no/such/path")).status, 404u);
  ApiRequest get = signedRequest("/common/get/time");
  get.method = "GET";
  EXPECT_EQ(service_.answer(get).status, 405u);
  EXPECT_EQ(service_.recordedRequests().size(), 2u);
  service_.clearRecordedRequests();
  EXPECT_TRUE(service_.recordedRequests().empty());
}

TEST(SampleCatalogueTest, ReportsWhatIsWrongWithACatalogue) {
  EXPECT_FALSE(SampleCatalogue::fromFile("/nonexistent/catalogue.json").ok());
  EXPECT_FALSE(SampleCatalogue::fromJson(nlohmann::json::array()).ok());
  ns::Result<SampleCatalogue> incomplete = SampleCatalogue::fromJson({{"application", {{"appId", "83"}}}});
  ASSERT_FALSE(incomplete.ok());
  EXPECT_NE(incomplete.error().localizedDescription().find("signingKey"), std::string::npos);

  SampleCatalogue catalogue = testutil::defaultCatalogue();
  EXPECT_EQ(catalogue.learnerWithId("20160002")->value("userName", ""), "13800138000");
  catalogue.setSection("latestVersion", {{"status", 2}, {"forceUpdateStatus", 2}, {"downloadPath", "x"}});
  ApiService service(catalogue);
  EXPECT_EQ(testutil::replyOf(service, signedRequest("/app/latest_ver"))["obj"]["forceUpdateStatus"], 2);
}

}  // namespace
}  // namespace sample_backend::api
