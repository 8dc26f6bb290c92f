#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/network/QMNetworkHelper.h"
#include "app/session/QMUser.h"
#include "app/shell/shell_test_util.h"
#include "app/user/QMUserLogController.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Keyboard.h"

namespace app {

namespace {

using shelltest::ShellTest;

class LoginScreenTest : public ShellTest {
 protected:
  void SetUp() override {
    launch();
    ASSERT_TRUE(runUntil([] { return uikit::Driver::findView("userNameTF").ok(); })) << screen();
  }

  std::shared_ptr<QMUserLogController> loginScreen() const {
    return std::dynamic_pointer_cast<QMUserLogController>(
        uikit::Application::sharedApplication().keyWindow()->rootViewController());
  }

  // Lets the two-second toasts go.
  void letToastsGo() {
    clock_.advance(std::chrono::seconds(2));
    settle();
  }
};

TEST_F(LoginScreenTest, EmptyFieldsAreRefusedBeforeAnythingIsSent) {
  submit("a", "");
  EXPECT_TRUE(screenShows("toast: 请输入密码")) << screen();
  letToastsGo();
  EXPECT_FALSE(screenShows("toast:")) << screen();

  // An empty name is named first, even when the password is empty too.
  submit("", "");
  EXPECT_TRUE(screenShows("toast: 请输入用户名")) << screen();
  EXPECT_FALSE(screenShows("请输入密码")) << screen();
  letToastsGo();
  submit("", "secret");
  EXPECT_TRUE(screenShows("toast: 请输入用户名")) << screen();
  EXPECT_EQ(loginsSent(), 0u);
  EXPECT_FALSE(screenShows("loading"));
  EXPECT_FALSE(uikit::Keyboard::isVisible()) << "the login button takes the keyboard down";
}

TEST_F(LoginScreenTest, NothingIsTrimmedAndTheBackEndsRefusalLeavesTheSessionAlone) {
  QMUser::sharedInstance()->setOnlyWifiPlay(false);

  // Blanks are text: they are sent, and the back end knows no such learner.
  submit(" ", " ");
  ASSERT_TRUE(runUntil([&] { return screenShows("toast: 用户不存在"); })) << screen();
  ASSERT_EQ(loginsSent(), 1u);
  EXPECT_EQ(app_.backend().recordedRequests(apptest::kLoginPath)[0].request.parameter("username"), " ");
  letToastsGo();
  submit(apptest::kLearnerName, "wrong");
  ASSERT_TRUE(runUntil([&] { return screenShows("toast: 用户名或密码错误"); })) << screen();
  EXPECT_FALSE(screenShows("loading")) << screen();
  EXPECT_TRUE(screenShows("[QMUserLogController]"));
  EXPECT_FALSE(QMUser::sharedInstance()->isLogin());
  EXPECT_EQ(QMUser::sharedInstance()->userId(), std::nullopt);
  EXPECT_FALSE(QMUser::sharedInstance()->onlyWifiPlay()) << "a failed login changes nothing";
}

TEST_F(LoginScreenTest, WithoutANetworkNothingIsSent) {
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  submit(apptest::kLearnerName, apptest::kLearnerPassword);
  EXPECT_TRUE(screenShows(std::string("toast: ") + kQMNoNetworkText)) << screen();
  EXPECT_FALSE(screenShows("loading"));
  EXPECT_EQ(loginsSent(), 0u);
}

TEST_F(LoginScreenTest, ASuccessfulLoginKeepsTheSessionTurnsOnWifiOnlyAndShowsTheMainScreens) {
  QMUser::sharedInstance()->setOnlyWifiPlay(false);
  QMUser::sharedInstance()->setOnlyWifiDown(false);
  submit(apptest::kLearnerName, apptest::kLearnerPassword);
  EXPECT_TRUE(screenShows("loading")) << "the key window is covered while the login runs";
  ASSERT_TRUE(runUntil([] { return screenShows("[QMSubjectController]"); })) << screen();
  EXPECT_FALSE(screenShows("loading")) << screen();
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  EXPECT_TRUE(user->isLogin());
  EXPECT_EQ(user->userId(), "20160001");
  EXPECT_EQ(user->userLoginName(), apptest::kLearnerName);
  EXPECT_EQ(user->userPassword(), std::nullopt);
  EXPECT_TRUE(user->onlyWifiPlay());
  EXPECT_TRUE(user->onlyWifiDown());
  EXPECT_TRUE(delegate_->drawer());

  // The password travels as Base64, with the common parameters and a sign the back end accepts.
  const auto logins = app_.backend().recordedRequests(apptest::kLoginPath);
  ASSERT_EQ(logins.size(), 1u);
  EXPECT_EQ(logins[0].request.parameter("password"), "cXVpbGwyMDE2");
  EXPECT_EQ(logins[0].refusal, "");
  EXPECT_EQ(logins[0].code, 0);
}

TEST_F(LoginScreenTest, TheInputAreaAppearsAfterTheOpeningSlideAtItsPlace) {
  const std::shared_ptr<QMUserLogController> login = loginScreen();
  ASSERT_TRUE(login);
  EXPECT_FALSE(login->userNameView()->isHidden() || login->passwordView()->isHidden() ||
               login->loginBtn()->isHidden());
  EXPECT_DOUBLE_EQ(login->topAlignConstant(), 330);
  EXPECT_DOUBLE_EQ(login->userNameView()->frame().minY(), 330);
  EXPECT_DOUBLE_EQ(login->loginTitle()->frame().minY(), 110 + login->loginIcon()->frame().height() + 50);
  EXPECT_TRUE(login->userPasswordTF()->isSecureTextEntry());

  // A fresh screen starts with its input area hidden until it has appeared.
  auto fresh = std::make_shared<QMUserLogController>();
  EXPECT_TRUE(fresh->view() && fresh->userNameView()->isHidden() && fresh->loginBtn()->isHidden());
}

TEST_F(LoginScreenTest, TheKeyboardLiftsTheScreenOnceAndTheReturnKeyLowersIt) {
  const std::shared_ptr<QMUserLogController> login = loginScreen();
  ASSERT_TRUE(uikit::Driver::type("userNameTF", "learner").ok());
  EXPECT_DOUBLE_EQ(login->view()->frame().minY(), -QMUserLogController::kKeyboardShift);

  // Moving to the other field keeps the keyboard up, and a repeated notification does not move the screen
  // further.
  ASSERT_TRUE(uikit::Driver::type("userPasswordTF", "x").ok());
  ns::NotificationCenter::defaultCenter().postNotificationName(uikit::kKeyboardWillShowNotification);
  EXPECT_DOUBLE_EQ(login->view()->frame().minY(), -QMUserLogController::kKeyboardShift);
  ASSERT_TRUE(uikit::Driver::pressReturn("userPasswordTF").ok());
  EXPECT_FALSE(uikit::Keyboard::isVisible());
  EXPECT_DOUBLE_EQ(login->view()->frame().minY(), 0);
  ns::NotificationCenter::defaultCenter().postNotificationName(uikit::kKeyboardWillHideNotification);
  EXPECT_DOUBLE_EQ(login->view()->frame().minY(), 0);
}

}  // namespace

}  // namespace app
