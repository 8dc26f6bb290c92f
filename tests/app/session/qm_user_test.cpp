#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/store/ServerValue.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "support/process_reset.h"

namespace app {

namespace {

class QMUserTest : public ::testing::Test {
 protected:
  QMUserTest() { restart(); }
  ~QMUserTest() override { restart(); }

  // Starts a new process over the same sandbox.
  void restart() { testsupport::resetForTesting(); }

  QMUser& user() { return *QMUser::sharedInstance(); }
  static ns::UserDefaults& defaults() { return ns::UserDefaults::standardUserDefaults(); }

  ns::testutil::TemporarySandbox sandbox_;
};

TEST_F(QMUserTest, SessionAndProfileSurviveARestart) {
  EXPECT_FALSE(user().isLogin());
  user().setUserId("20160001");
  user().setUserLoginName("learner");
  user().setUserSid("0a1b2c");
  user().setUserNickName("书山");
  user().setRemainderDays("180");
  EXPECT_TRUE(user().isLogin());
  restart();
  EXPECT_TRUE(user().isLogin());
  EXPECT_EQ(user().userId(), "20160001");
  EXPECT_EQ(user().userLoginName(), "learner");
  EXPECT_EQ(user().userSid(), "0a1b2c");
  EXPECT_EQ(user().userNickName(), "书山");
  EXPECT_EQ(user().remainderDays(), "180");
  EXPECT_EQ(defaults().stringForKey("USERSID"), "0a1b2c");
  EXPECT_EQ(defaults().stringForKey("USERADRESS"), std::nullopt);
}

TEST_F(QMUserTest, TextsAreReadOnceButAMissingKeyIsReadAgain) {
  EXPECT_EQ(user().userRealName(), std::nullopt);
  defaults().setObject("林知远", "USERREALNAME");
  EXPECT_EQ(user().userRealName(), "林知远");
  defaults().setObject("someone else", "USERREALNAME");
  EXPECT_EQ(user().userRealName(), "林知远");
}

TEST_F(QMUserTest, CoinAmountsKeepFloatPrecisionAndSwitchesDefaultToOff) {
  EXPECT_EQ(user().ZCoinAmount(), 0);
  EXPECT_FALSE(user().onlyWifiPlay());
  EXPECT_FALSE(user().onlyWifiDown());
  user().setZCoinAmount(0.1);
  user().setZCoinFreezeAmount(12.5);
  user().setOnlyWifiDown(true);
  restart();
  EXPECT_EQ(user().ZCoinAmount(), static_cast<double>(0.1f));
  EXPECT_EQ(user().ZCoinFreezeAmount(), 12.5);
  EXPECT_TRUE(user().onlyWifiDown());
  EXPECT_FALSE(user().onlyWifiPlay());
  // These are read on every call, so a change made elsewhere shows at once.
  defaults().setObject(false, "UserOnlyWifiDown");
  EXPECT_FALSE(user().onlyWifiDown());
}

TEST_F(QMUserTest, NullsFromRepliesNeverReachUserDefaults) {
  ns::Result<ns::Value> reply = ns::JSONSerialization::JSONObjectWithData(
      R"({"userId":null,"userName":"learner","sid":"abc","obj":{"remark":null,"amount":3}})");
  ASSERT_TRUE(reply.ok());
  user().setUserId(serverText(reply->find("userId")));
  user().setUserLoginName(serverText(reply->find("userName")));
  user().setZCoinMark(*reply->find("obj")->find("remark"));
  user().setZCoinMark(*reply->find("obj"));
  restart();
  EXPECT_EQ(user().userId(), "");
  EXPECT_EQ(user().userLoginName(), "learner");
  std::optional<ns::Value> mark = user().ZCoinMark();
  ASSERT_TRUE(mark && mark->isDictionary());
  EXPECT_EQ(mark->find("remark"), nullptr);
  EXPECT_EQ(*mark->find("amount"), ns::Value(3));
  user().setZCoinMark(ns::Value());
  EXPECT_EQ(user().ZCoinMark(), std::nullopt);
  EXPECT_EQ(defaults().objectForKey("ZCoinMark"), std::nullopt);
}

TEST_F(QMUserTest, LogoutEndsTheSessionInOrderAndKeepsTheProcessAnswers) {
  std::vector<std::string> events;
  QMAppServices::setDownloadPauser(
      [&] { events.push_back(user().isLogin() ? "pause (logged in)" : "pause"); });
  QMAppServices::setRootRebuilder([&] { events.push_back(user().isLogin() ? "root (logged in)" : "root"); });
  ns::NotificationCenter::ObserverToken token = ns::NotificationCenter::defaultCenter().addObserverForName(
      std::string(kQMUserLogoutNotification), nullptr, nullptr, [&](const ns::Notification& notification) {
        EXPECT_EQ(notification.object, nullptr);
        events.push_back(user().ZCoinAmount() == 0 ? "posted" : "posted (coins left)");
      });
  user().setUserSid("abc");
  user().setUserId("20160001");
  user().setUserAddress("北京 海淀区");
  user().setOnLearningProcess("35");
  user().setZCoinAmount(88);
  user().setZCoinMark(ns::Value("vip"));
  user().setOnlyWifiPlay(false);
  user().setIsNeedSign(true);
  user().setProtocolName("服务协议");
  user().setServerTime("1467331200");
  user().setKeepRememberPlay(true);
  user().setKeepRememberDown(true);
  user().logout();
  ns::NotificationCenter::defaultCenter().removeObserver(token);
  EXPECT_EQ(events, (std::vector<std::string>{"pause (logged in)", "posted", "root"}));
  EXPECT_FALSE(user().isNeedSign());
  EXPECT_EQ(user().protocolName(), "服务协议");
  EXPECT_EQ(user().serverTime(), "1467331200");
  EXPECT_TRUE(user().keepRememberPlay());
  EXPECT_TRUE(user().keepRememberDown());
  restart();
  EXPECT_FALSE(user().isLogin());
  EXPECT_EQ(user().userId(), std::nullopt);
  EXPECT_EQ(user().userAddress(), std::nullopt);
  EXPECT_EQ(user().onLearningProcess(), std::nullopt);
  EXPECT_EQ(user().ZCoinAmount(), 0);
  EXPECT_EQ(user().ZCoinMark(), std::nullopt);
  EXPECT_TRUE(user().onlyWifiPlay());
  EXPECT_TRUE(user().onlyWifiDown());
}

}  // namespace

}  // namespace app
