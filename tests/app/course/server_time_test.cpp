// The server time end to end, and a reply that carries no usable time.

#include <gtest/gtest.h>

#include "app/course/course_test_util.h"

namespace coursetest {
namespace {

using sample_backend::api::ApiReply;
using sample_backend::api::RouteContext;
using sample_backend::api::SessionRule;

class ServerTimeTest : public CourseDataModelTest {};

TEST_F(ServerTimeTest, TheBackEndsTimeArrivesInSeconds) {
  app_.backend().controls().fixServerTime(1473000000);
  model_->networkGetServerTime();
  ASSERT_TRUE(waitForEvents());
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"networkGetServerTimeSuccess"});
  EXPECT_EQ(delegate_->serverTime, 1473000000.0);
}

// A success without a time would have a lesson URL signed with the time 0, which the playlist service
// refuses; it is reported as a failure instead.
TEST_F(ServerTimeTest, ASuccessWithoutAUsableTimeIsAFailure) {
  std::vector<nlohmann::json> objects = {nullptr, "soon", 0};
  app_.backend().router().add(std::string(QMCourseDataModel::kServerTimePath), SessionRule::kOpen,
                              [&objects](const RouteContext&) {
                                nlohmann::json obj = objects.front();
                                objects.erase(objects.begin());
                                return ApiReply::success(obj);
                              });
  for (int attempt = 1; attempt <= 3; ++attempt) {
    model_->networkGetServerTime();
    ASSERT_TRUE(waitForEvents(attempt));
  }
  EXPECT_EQ(delegate_->events, std::vector<std::string>(3, "networkGetServerTimeFailed"));
  EXPECT_TRUE(app_.toasts().empty());
}

}  // namespace
}  // namespace coursetest
