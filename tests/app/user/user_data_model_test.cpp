#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/app_test_util.h"
#include "app/session/QMUser.h"
#include "app/user/QMUserDataModel.h"
#include "platform/foundation/loop/RunLoop.h"

namespace app {

namespace {

// Writes down the callbacks it hears, with what they hand over.
class RecordingDelegate : public QMUserDataModelDelegate {
 public:
  void networkGetUserInfoSuccess() override { events.push_back("userInfo"); }
  void networkGetUserInfoFailed() override { events.push_back("userInfoFailed"); }
  void networkGetUserAvaterSuccess() override { events.push_back("avater"); }
  void networkFeedbackSuccess() override { events.push_back("feedback"); }
  void networkGetUserZCoinSuccess() override { events.push_back("zcoin"); }
  void networkGetUserZCoinListSuccess(const ns::Value& transactions) override {
    events.push_back("zcoinList");
    handedOver = transactions;
  }

  void networkGetUserOrderListSuccess(const ns::Value& orders) override {
    events.push_back("orders");
    handedOver = orders;
  }

  void networkGetUserOrderListFailed() override { events.push_back("ordersFailed"); }
  void networkCancelUserOrderFailed() override { events.push_back("cancelFailed"); }

  std::vector<std::string> events;
  ns::Value handedOver;
};

class QMUserDataModelTest : public ::testing::Test {
 protected:
  QMUserDataModelTest() { model_->setDelegate(delegate_); }

  // Runs the main loop until the delegate has heard `count` callbacks in all.
  void waitForCallbacks(std::size_t count) {
    ASSERT_TRUE(ns::RunLoop::main().runUntil([&] { return delegate_->events.size() >= count; },
                                             std::chrono::seconds(10)));
  }

  // The parameters of the only request of `path`.
  apptest::Parameters sentParameters(std::string_view path) {
    const std::vector<apptest::Parameters> sent = app_.sentParameters(path);
    EXPECT_EQ(sent.size(), 1u) << path;
    return sent.empty() ? apptest::Parameters() : sent[0];
  }

  apptest::AppTestEnvironment app_;
  std::shared_ptr<QMUserDataModel> model_ = std::make_shared<QMUserDataModel>();
  std::shared_ptr<RecordingDelegate> delegate_ = std::make_shared<RecordingDelegate>();
};

TEST_F(QMUserDataModelTest, AProfileWithoutRegionsOrRealNameIsStoredAsNeverMissingText) {
  app_.answer(QMUserDataModel::kUserInfoPath, {{"nick_name", "书山"}, {"sex", 1}});
  model_->networkGetUserInfo();
  waitForCallbacks(1);
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"userInfo"});
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  EXPECT_EQ(user->userAddress(), " ");
  EXPECT_EQ(user->userRealName(), "");
  EXPECT_EQ(user->userNickName(), "书山");
  EXPECT_EQ(user->userSex(), "1");
  EXPECT_TRUE(app_.toasts().empty());
}

TEST_F(QMUserDataModelTest, AnOrderPageSendsItsNumbersAsTextsAndHandsOverThePagesOrders) {
  app_.answer(QMUserDataModel::kOrderListPath, {{"z_data", {{{"orderNo", "A1"}}}}, {"total", 1}});
  model_->networkGetUserOrderWithStaus(0, 3);
  waitForCallbacks(1);
  const auto parameters = sentParameters(QMUserDataModel::kOrderListPath);
  EXPECT_EQ(parameters.at("status"), "0");
  EXPECT_EQ(parameters.at("pageNo"), "3");
  EXPECT_EQ(parameters.at("pageSize"), "10");
  EXPECT_EQ(parameters.at("ios"), "ios");
  EXPECT_EQ(app_.backend().recordedRequests(std::string(QMUserDataModel::kOrderListPath))[0].refusal, "");
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"orders"});
  ASSERT_EQ(delegate_->handedOver.count(), 1u);
  EXPECT_EQ(*delegate_->handedOver.element(0)->find("orderNo"), ns::Value("A1"));
}

TEST_F(QMUserDataModelTest, RepliesReachTheSharedUserAfterTheDelegateOrTheModelHasGone) {
  app_.answer(QMUserDataModel::kZCoinPath, {{"amount", 12.5}, {"freezeAmount", "3"}, {"remark", "ok"}});
  app_.answer(QMUserDataModel::kAvaterPath, {{"headImage1", "http://img/a.png"}});
  model_->networkGetUserZCoin();
  delegate_.reset();
  auto otherModel = std::make_shared<QMUserDataModel>();
  otherModel->networkGetUserAvater();
  otherModel.reset();
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  ASSERT_TRUE(ns::RunLoop::main().runUntil([&] { return user->userAvater() && user->ZCoinAmount() > 0; },
                                           std::chrono::seconds(10)));
  EXPECT_DOUBLE_EQ(user->ZCoinAmount(), 12.5);
  EXPECT_DOUBLE_EQ(user->ZCoinFreezeAmount(), 3);
  EXPECT_EQ(user->ZCoinMark(), ns::Value("ok"));
  EXPECT_EQ(user->userAvater(), "http://img/a.png");
  EXPECT_EQ(sentParameters(QMUserDataModel::kAvaterPath).at("type"), "1");
}

TEST_F(QMUserDataModelTest, RefusalsShowTheirTextAndTransportFailuresStayQuiet) {
  app_.answer(QMUserDataModel::kOrderListPath, nullptr);
  app_.backend().controls().refuseNextRequest(std::string(QMUserDataModel::kOrderListPath), 9999);
  model_->networkGetUserOrderWithStaus(-1, 1);
  waitForCallbacks(1);
  EXPECT_EQ(delegate_->events.back(), "ordersFailed");
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"系统内部错误"});
  app_.clearWindow();
  app_.backend().controls().cutNextConnection(std::string(QMUserDataModel::kCancelOrderPath));
  model_->networkCacelUserOrderWtihID("A1");
  waitForCallbacks(2);
  EXPECT_EQ(delegate_->events.back(), "cancelFailed");
  EXPECT_TRUE(app_.toasts().empty());
  EXPECT_EQ(app_.backend()
                .recordedRequests(std::string(QMUserDataModel::kCancelOrderPath))
                .front()
                .request.parameter("orderNo"),
            "A1");
}

TEST_F(QMUserDataModelTest, FeedbackCoinListAndProfileUpdateSendWhatTheBackEndExpects) {
  app_.answer(QMUserDataModel::kFeedbackPath, nullptr);
  app_.answer(QMUserDataModel::kZCoinListPath, {{{"amount", 1}}});
  app_.answer(QMUserDataModel::kAvaterPath, nullptr, {{"headImage1", "http://img/top.png"}});
  model_->networkFeedbackWith("很好", "13800138000");
  waitForCallbacks(1);
  model_->networkGetUserZCoinList();
  waitForCallbacks(2);
  model_->networkUpdateUserInfoWithRealName("林知远", "1", "北京");
  waitForCallbacks(3);
  EXPECT_EQ(delegate_->events, (std::vector<std::string>{"feedback", "zcoinList", "avater"}));
  EXPECT_EQ(sentParameters(QMUserDataModel::kFeedbackPath).at("errorDescription"),
            "联系方式:13800138000 \n 反馈意见:很好");
  EXPECT_EQ(delegate_->handedOver.count(), 1u);
  // The profile update sends none of its arguments, only the avatar request's.
  const auto update = sentParameters(QMUserDataModel::kAvaterPath);
  EXPECT_EQ(update.at("type"), "1");
  EXPECT_FALSE(update.contains("real_name") || update.contains("sex") || update.contains("address"));
  EXPECT_EQ(QMUser::sharedInstance()->userAvater(), "http://img/top.png");
}

}  // namespace

}  // namespace app
