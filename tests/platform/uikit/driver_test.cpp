#include "platform/uikit/driver/Driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "platform/uikit/app/Keyboard.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/gestures/TapGestureRecognizer.h"
#include "sample_screens.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class DriverTest : public UikitTest {
 protected:
  void showLogin() {
    login_ = std::make_shared<QMSampleLoginController>();
    window_ = showWindowWithRoot(login_);
  }

  static int codeOf(const ns::Status& status) { return static_cast<int>(status.error().code()); }

  std::shared_ptr<QMSampleLoginController> login_;
  std::shared_ptr<Window> window_;
};

TEST_F(DriverTest, FindsViewsByVisibleTextOrIdentifier) {
  showLogin();

  EXPECT_EQ(*Driver::findView("登录"), login_->loginBtn);
  EXPECT_EQ(*Driver::findView("loginBtn"), login_->loginBtn);
  EXPECT_EQ(*Driver::findView("请输入用户名"), login_->userNameTF);
  EXPECT_EQ(*Driver::findView("直播"), login_->kindSegment);

  login_->greeting->setHidden(true);
  const auto missing = Driver::findView("欢迎");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().domain(), kDriverErrorDomain);
  EXPECT_EQ(missing.error().localizedDescription(), "There is no view with the text or identifier \"欢迎\".");
}

TEST_F(DriverTest, TapWorksControlsAndTapRecognisersAsAFingerWould) {
  showLogin();
  auto recognizer = std::make_shared<TapGestureRecognizer>();
  int recognised = 0;
  recognizer->addAction([&recognised](GestureRecognizer& tapped) {
    EXPECT_EQ(tapped.state(), GestureState::kRecognized);
    ++recognised;
  });
  login_->greeting->setUserInteractionEnabled(true);
  login_->greeting->addGestureRecognizer(recognizer);

  ASSERT_TRUE(Driver::tap("欢迎").ok());
  ASSERT_TRUE(Driver::tap("登录").ok());
  ASSERT_TRUE(Driver::tap("rememberSwitch").ok());
  ASSERT_TRUE(Driver::tap("直播").ok());
  ASSERT_TRUE(Driver::tap("userNameTF").ok());

  EXPECT_EQ(login_->loginTaps, 1);
  EXPECT_TRUE(login_->rememberSwitch->isOn());
  EXPECT_THAT(login_->kinds, ElementsAre(1));
  EXPECT_TRUE(login_->userNameTF->isFirstResponder());
  EXPECT_EQ(recognised, 1);
}

TEST_F(DriverTest, TapIsRefusedByDisabledControlsAndUntouchableViews) {
  showLogin();

  EXPECT_EQ(codeOf(Driver::tap("注册")), Driver::kDisabled);
  // A label lets the tap through to the screen's view, which does nothing with it.
  EXPECT_EQ(codeOf(Driver::tap("欢迎")), Driver::kNotTouchable);

  login_->view()->setUserInteractionEnabled(false);
  EXPECT_EQ(codeOf(Driver::tap("登录")), Driver::kNotTouchable);
  EXPECT_EQ(login_->loginTaps, 0);
}

TEST_F(DriverTest, TypingGoesThroughTheFieldsDelegateAndRaisesTheKeyboard) {
  showLogin();

  ASSERT_TRUE(Driver::type("userNameTF", "student").ok());
  ASSERT_TRUE(Driver::type("userPasswordTF", "secret").ok());
  EXPECT_EQ(codeOf(Driver::type("userNameTF", "refused")), Driver::kRefused);
  EXPECT_EQ(codeOf(Driver::type("登录", "x")), Driver::kNotTextInput);
  ASSERT_TRUE(Driver::pressReturn("userNameTF").ok());

  EXPECT_EQ(login_->userNameTF->text(), "student");
  EXPECT_EQ(login_->userPasswordTF->text(), "secret");
  EXPECT_EQ(login_->returns, 1);
  EXPECT_TRUE(Keyboard::isVisible());
  EXPECT_THAT(Driver::screenText(), HasSubstr("field userPasswordTF: ••••••\n"));
}

TEST_F(DriverTest, AnAlertTakesEveryTouchUntilItIsAnswered) {
  showLogin();
  auto answers = std::make_shared<RecordingAlertDelegate>();
  auto alert = std::make_shared<AlertView>("更新提示", " 检测到新版本，需要升级", answers, "忽略",
                                           std::vector<std::string>{"马上更新"});
  alert->show();

  EXPECT_EQ(codeOf(Driver::tap("登录")), Driver::kAlertInTheWay);
  EXPECT_EQ(codeOf(Driver::goBack()), Driver::kAlertInTheWay);
  EXPECT_EQ(codeOf(Driver::answerAlert("稍后")), Driver::kNoSuchAlertButton);
  ASSERT_TRUE(Driver::tap("马上更新").ok());

  EXPECT_THAT(answers->events, ElementsAre("clicked 马上更新", "willDismiss 1"));
  EXPECT_EQ(codeOf(Driver::answerAlert("忽略")), Driver::kNoAlert);
  ASSERT_TRUE(Driver::tap("登录").ok());
  EXPECT_EQ(login_->loginTaps, 1);
}

TEST_F(DriverTest, RowsAreSelectedAndSwipedAwayByTheirText) {
  auto list = std::make_shared<QMSampleListController>();
  window_ = showWindowWithRoot(list);

  ASSERT_TRUE(Driver::selectRow("英语").ok());
  ASSERT_TRUE(Driver::tap("政治").ok());
  ASSERT_TRUE(Driver::swipeDeleteRow("数学").ok());

  EXPECT_THAT(list->selectedRows, ElementsAre(1, 2));
  EXPECT_THAT(list->subjects, ElementsAre("英语", "政治"));
  EXPECT_EQ(codeOf(Driver::selectRow("数学")), Driver::kNoSuchRow);

  list->subjectTable->setUserInteractionEnabled(false);
  EXPECT_EQ(codeOf(Driver::selectRow("英语")), Driver::kNotTouchable);
  EXPECT_THAT(list->selectedRows, ElementsAre(1, 2));
}

TEST_F(DriverTest, GoBackUsesTheLeftItemOrPopsTheStack) {
  auto first = std::make_shared<QMSampleListController>();
  auto navigation = std::make_shared<NavigationController>(first);
  window_ = showWindowWithRoot(navigation);
  EXPECT_EQ(codeOf(Driver::goBack()), Driver::kNothingToGoBackTo);

  navigation->pushViewController(std::make_shared<QMSampleLoginController>(), true);
  nextTurn();
  ASSERT_TRUE(Driver::goBack().ok());
  EXPECT_EQ(navigation->topViewController(), first);

  auto withLeftItem = std::make_shared<QMSampleLoginController>();
  auto item = std::make_shared<BarButtonItem>("关闭");
  item->setTarget(withLeftItem, &QMSampleLoginController::goBackAction);
  withLeftItem->navigationItem().setLeftBarButtonItem(item);
  navigation->pushViewController(withLeftItem, true);
  nextTurn();
  ASSERT_TRUE(Driver::goBack().ok());
  EXPECT_EQ(withLeftItem->backTaps, 1);
  EXPECT_EQ(navigation->topViewController(), withLeftItem);
}

TEST_F(DriverTest, WaitForTextRunsTheLoopUntilTheTextShowsOrTimesOut) {
  showLogin();
  ns::RunLoop::main().post([label = login_->greeting] { label->setText("加载完成"); });

  EXPECT_TRUE(Driver::waitForText("加载完成", std::chrono::seconds(5)).ok());
  EXPECT_EQ(codeOf(Driver::waitForText("从不出现", std::chrono::milliseconds(10))), Driver::kTimedOut);
}

}  // namespace
}  // namespace uikit::testing
