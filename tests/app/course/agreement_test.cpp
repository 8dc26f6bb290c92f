// The course agreement end to end: its status reaches the session, and a signature is checked by the
// sample back end and then remembered.

#include <gtest/gtest.h>

#include "app/course/course_test_util.h"
#include "app/network/QMServerHosts.h"

namespace app {

namespace coursetest {
namespace {

class AgreementTest : public CourseDataModelTest {
 protected:
  void askStatus() {
    ASSERT_EQ(callbacksOf([&] { model_->networkGetUserProtocolStatus(); }),
              Events{"networkGetUserProtocolStatusSuccess"});
  }

  // Signs and returns the callbacks and the toasts shown; a loading indicator covers the request.
  std::pair<Events, std::vector<std::string>> sign(const std::string& realName, const std::string& cardID) {
    app_.clearWindow();
    const Events events = callbacksOf([&] {
      model_->networkSignUserProtocolWithRealName(realName, cardID);
      EXPECT_TRUE(app_.loadingIndicatorShown());
    });
    EXPECT_FALSE(app_.loadingIndicatorShown());
    return {events, app_.toasts()};
  }
};

TEST_F(AgreementTest, ALearnerWhoMustSignSignsOnce) {
  logIn("13800138000", "second2016");
  askStatus();
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  EXPECT_TRUE(user->isNeedSign());
  EXPECT_EQ(user->protocolID(), "P2017001");
  EXPECT_EQ(user->protocolName(), "2017考研全程班学员协议");
  EXPECT_EQ(user->productID(), "MP2017001");
  // The page is served by the back end the client reached.
  EXPECT_EQ(user->protocolAddress(),
            "http://" + QMServerHosts::publicWebHost() + "/quillmark/agreement/P2017001.html");
  using Outcome = std::pair<Events, std::vector<std::string>>;
  EXPECT_EQ(sign("周若溪", "110108199003072514"),
            Outcome({"networkSignProtocolFailed"}, {"身份证号输入有误"}));
  EXPECT_EQ(sign(" ", "110108199003072513"), Outcome({"networkSignProtocolFailed"}, {"姓名输入有误"}));
  EXPECT_EQ(sign("周若溪", "110108199003072513"), Outcome({"networkSignProtocolSuccess"}, {}));
  const apptest::Parameters sent = app_.sentParameters(QMCourseDataModel::kSignUserProtocolPath).back();
  EXPECT_EQ(sent.at("memberProductId"), "MP2017001");
  EXPECT_EQ(sent.at("protocolId"), "P2017001");
  EXPECT_EQ(sent.at("name"), "周若溪");
  EXPECT_EQ(sent.at("superId"), "110108199003072513");
  askStatus();
  EXPECT_FALSE(user->isNeedSign());
}

}  // namespace
}  // namespace coursetest

}  // namespace app
