#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "api_test_util.h"
#include "sample_backend/api/ApiService.h"

namespace sample_backend::api {
namespace {

using testutil::signedRequest;

class ApiServiceTest : public ::testing::Test {
 protected:
  ApiServiceTest() : service_(testutil::defaultCatalogue()) {}

  // Returns the parsed reply to `request`. REQUIRES: the service answers it with 200.
  nlohmann::json reply(ApiRequest request) {
    ApiService::Answer answer = service_.answer(std::move(request));
    EXPECT_EQ(answer.status, 200u);
    return nlohmann::json::parse(answer.body);
  }

  // Signs in `userName` and returns the session id.
  std::string login(const std::string& userName, const std::string& base64Password) {
    nlohmann::json answer =
        reply(signedRequest("/common/baselogin", {{"username", userName}, {"password", base64Password}}));
    EXPECT_EQ(answer["code"], 0);
    return answer.value("sid", "");
  }

  ApiService service_;
};

constexpr char kLearnerPassword[] = "cXVpbGwyMDE2";  // "quill2016"

TEST_F(ApiServiceTest, RefusesRequestsThatFailTheChecks) {
  ApiRequest noSign = signedRequest("/common/get/time");
  noSign.parameters.erase("sign");
  EXPECT_EQ(reply(noSign)["code"], kCodeMissingParameter);

  ApiRequest otherApp = signedRequest("/common/get/time");
  otherApp.parameters["app_id"] = "84";
  EXPECT_EQ(reply(otherApp)["code"], kCodeUnknownApplication);

  ApiRequest tampered = signedRequest("/common/get/time", {{"page", "1"}});
  tampered.parameters["page"] = "2";
  nlohmann::json mismatch = reply(tampered);
  EXPECT_EQ(mismatch["code"], kCodeInternalError);
  EXPECT_EQ(mismatch["message"], "sign mismatch");

  for (const char* header : {"app_name", "version", "protocol_version", "imei", "platform", "model",
                             "screensize", "channel", "network"}) {
    ApiRequest missing = signedRequest("/common/get/time");
    missing.headers.erase(header);
    EXPECT_EQ(reply(missing)["message"], std::string("missing header ") + header);
  }
  ApiRequest shortImei = signedRequest("/common/get/time");
  shortImei.headers["imei"] = "0123";
  EXPECT_EQ(reply(shortImei)["code"], kCodeMissingParameter);
  ApiRequest bareVersion = signedRequest("/common/get/time");
  bareVersion.headers["version"] = "1.0.0";
  EXPECT_EQ(reply(bareVersion)["code"], kCodeMissingParameter);

  const std::vector<RecordedApiRequest> recorded = service_.recordedRequests("/common/get/time");
  ASSERT_EQ(recorded.size(), 14u);
  EXPECT_EQ(recorded[2].refusal, "sign mismatch");
  EXPECT_EQ(recorded[2].request.parameter("page"), "2");
}

TEST_F(ApiServiceTest, ServesTimeAndVersionWithoutASession) {
  service_.controls().fixServerTime(1467331200);
  nlohmann::json time = reply(signedRequest("/common/get/time"));
  EXPECT_EQ(time["code"], 0);
  EXPECT_EQ(time["obj"], 1467331200);

  nlohmann::json version = reply(signedRequest("/app/latest_ver"));
  EXPECT_EQ(version["code"], 0);
  EXPECT_EQ(version["obj"]["status"], 1);
  EXPECT_EQ(version["obj"]["forceUpdateStatus"], 1);
  EXPECT_TRUE(version["obj"]["downloadPath"].is_string());
}

TEST_F(ApiServiceTest, LoginOpensASessionAndANewerLoginDisplacesIt) {
  EXPECT_EQ(reply(signedRequest("/common/baselogin", {{"username", "nobody"}, {"password", "eA=="}}))["code"],
            kCodeNoSuchUser);
  EXPECT_EQ(
      reply(signedRequest("/common/baselogin", {{"username", "learner"}, {"password", "eA=="}}))["code"],
      kCodeWrongPassword);
  EXPECT_EQ(reply(signedRequest("/common/baselogin", {{"username", "learner"}}))["code"],
            kCodeMissingParameter);

  nlohmann::json first =
      reply(signedRequest("/common/baselogin", {{"username", "learner"}, {"password", kLearnerPassword}}));
  EXPECT_EQ(first["userId"], "20160001");
  EXPECT_EQ(first["userName"], "learner");
  const std::string firstSession = first["sid"];
  EXPECT_EQ(firstSession.size(), 32u);
  EXPECT_EQ(reply(signedRequest("/common/get/time", {{"sid", firstSession}}))["code"], 0);

  const std::string secondSession = login("learner", kLearnerPassword);
  EXPECT_NE(secondSession, firstSession);
  nlohmann::json displaced = reply(signedRequest("/common/get/time", {{"sid", firstSession}}));
  EXPECT_EQ(displaced["code"], kCodeSessionInvalid);
  EXPECT_EQ(reply(signedRequest("/common/get/time", {{"sid", secondSession}}))["code"], 0);
  EXPECT_EQ(reply(signedRequest("/common/get/time", {{"sid", "unknown"}}))["code"], kCodeSessionInvalid);
  // An empty session id is no session at all.
  EXPECT_EQ(reply(signedRequest("/common/get/time", {{"sid", ""}}))["code"], 0);
}

TEST_F(ApiServiceTest, RoutesForSignedInLearnersGetTheLearner) {
  std::optional<std::string> seenLearner;
  service_.router().add("/test/private", SessionRule::kSignedIn, [&](const RouteContext& context) {
    seenLearner = context.userId;
    return ApiReply::success(nullptr);
  });
  EXPECT_EQ(reply(signedRequest("/test/private"))["code"], kCodeNotSignedIn);
  EXPECT_FALSE(seenLearner);

  const std::string session = login("13800138000", "c2Vjb25kMjAxNg==");
  nlohmann::json answer = reply(signedRequest("/test/private", {{"sid", session}}));
  EXPECT_EQ(answer["code"], 0);
  EXPECT_FALSE(answer.contains("obj"));
  EXPECT_EQ(seenLearner, "20160002");
}

TEST_F(ApiServiceTest, TestControlsShapeTheNextReplyOfTheirPathOnly) {
  service_.controls().refuseNextRequest("/common/get/time", 9712);
  service_.controls().sendNextCodeAs("/common/get/time", CodeForm::kText);
  nlohmann::json refused = reply(signedRequest("/common/get/time"));
  EXPECT_EQ(refused["code"], "9712");
  EXPECT_EQ(reply(signedRequest("/common/get/time"))["code"], 0);

  service_.controls().sendNextCodeAs("/app/latest_ver", CodeForm::kMissing);
  nlohmann::json uncoded = reply(signedRequest("/app/latest_ver"));
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
  EXPECT_EQ(catalogue.application().appId, "83");
  EXPECT_NE(catalogue.learnerNamed("learner"), nullptr);
  EXPECT_EQ(catalogue.learnerWithId("20160002")->value("userName", ""), "13800138000");
  catalogue.setSection("latestVersion", {{"status", 2}, {"forceUpdateStatus", 2}, {"downloadPath", "x"}});
  ApiService service(catalogue);
  nlohmann::json version = nlohmann::json::parse(service.answer(signedRequest("/app/latest_ver")).body);
  EXPECT_EQ(version["obj"]["forceUpdateStatus"], 2);
}

}  // namespace
}  // namespace sample_backend::api
