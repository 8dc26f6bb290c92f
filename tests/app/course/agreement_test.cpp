// The course agreement end to end: its status reaches the session, and a signature is checked by the
// sample back end and then remembered.

#include <gtest/gtest.h>

#include "app/course/course_test_util.h"

namespace coursetest {
namespace {

class AgreementTest : public CourseDataModelTest {
 protected:
  void askStatus() {
    delegate_->events.clear();
    model_->networkGetUserProtocolStatus();
    ASSERT_TRUE(waitForEvents());
    ASSERT_EQ(delegate_->events, std::vector<std::string>{"networkGetUserProtocolStatusSuccess"});
  }

  std::vector<std::string> sign(const std::string& realName, const std::string& cardID) {
    delegate_->events.clear();
    app_.clearWindow();
    model_->networkSignUserProtocolWithRealName(realName, cardID);
    EXPECT_TRUE(loadingIndicatorShown());
    EXPECT_TRUE(waitForEvents());
    EXPECT_FALSE(loadingIndicatorShown());
    return delegate_->events;
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
  EXPECT_EQ(user->protocolAddress(), "http://127.0.0.1/quillmark/agreement/P2017001.html");

  EXPECT_EQ(sign("周若溪", "110108199003072514"), std::vector<std::string>{"networkSignProtocolFailed"});
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"身份证号输入有误"});
  EXPECT_EQ(sign(" ", "110108199003072513"), std::vector<std::string>{"networkSignProtocolFailed"});
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"姓名输入有误"});

  EXPECT_EQ(sign("周若溪", "110108199003072513"), std::vector<std::string>{"networkSignProtocolSuccess"});
  const auto sent = sentParameters(QMCourseDataModel::kSignUserProtocolPath);
  EXPECT_EQ(sent.back().at("memberProductId"), "MP2017001");
  EXPECT_EQ(sent.back().at("protocolId"), "P2017001");
  EXPECT_EQ(sent.back().at("name"), "周若溪");
  EXPECT_EQ(sent.back().at("superId"), "110108199003072513");

  askStatus();
  EXPECT_FALSE(user->isNeedSign());
}

}  // namespace
}  // namespace coursetest
