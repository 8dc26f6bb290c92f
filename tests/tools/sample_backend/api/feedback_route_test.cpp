// The feedback path of the sample back end: signed-in learners only, and the feedback text required.

#include <gtest/gtest.h>

#include "sample_backend/api/FeedbackRoute.h"
#include "tools/sample_backend/api/api_test_util.h"

namespace sample_backend::api {
namespace {

TEST(FeedbackRouteTest, TakesASignedInLearnersFeedback) {
  ApiService service(testutil::defaultCatalogue());
  const std::string sid = service.sessions().openSession("20160001");
  const auto code = [&](testutil::Parameters parameters) {
    return testutil::replyOf(service, testutil::signedRequest(kFeedbackPath, std::move(parameters)))["code"];
  };
  EXPECT_EQ(code({{"errorDescription", "联系方式: \n 反馈意见: "}}), kCodeNotSignedIn);
  EXPECT_EQ(code({{"sid", sid}}), kCodeMissingParameter);
  EXPECT_EQ(code({{"sid", sid}, {"errorDescription", "联系方式: \n 反馈意见:很好"}}), kCodeSuccess);
  EXPECT_EQ(service.recordedRequests(kFeedbackPath).back().request.parameter("errorDescription"),
            "联系方式: \n 反馈意见:很好");
}

}  // namespace
}  // namespace sample_backend::api
