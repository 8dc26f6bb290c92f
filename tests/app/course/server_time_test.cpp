// The server time end to end, and a reply that carries no usable time.

#include <gtest/gtest.h>

#include "app/course/course_test_util.h"

namespace app {

namespace coursetest {
namespace {

class ServerTimeTest : public CourseDataModelTest {};

TEST_F(ServerTimeTest, TheBackEndsTimeArrivesInSeconds) {
  app_.backend().controls().fixServerTime(1473000000);
  EXPECT_EQ(callbacksOf([&] { model_->networkGetServerTime(); }), Events{"networkGetServerTimeSuccess"});
  EXPECT_EQ(delegate_->serverTime, 1473000000.0);
}

// A success without a time would have a lesson URL signed with the time 0, which the playlist service
// refuses; it is reported as a failure instead.
TEST_F(ServerTimeTest, ASuccessWithoutAUsableTimeIsAFailure) {
  for (const nlohmann::json& obj : {nlohmann::json(nullptr), nlohmann::json("soon"), nlohmann::json(0)}) {
    app_.answer(QMCourseDataModel::kServerTimePath, obj);
    EXPECT_EQ(callbacksOf([&] { model_->networkGetServerTime(); }), Events{"networkGetServerTimeFailed"})
        << obj.dump();
  }

  EXPECT_TRUE(app_.toasts().empty());
}

}  // namespace
}  // namespace coursetest

}  // namespace app
