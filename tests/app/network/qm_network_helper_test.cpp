#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_test_util.h"
#include "app/network/DeviceUID.h"
#include "app/network/QMNetworkHelper.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Device.h"

namespace app {

namespace {

using apptest::AppTestEnvironment;

constexpr char kTimePath[] = "/common/get/time";
constexpr char kVersionPath[] = "/app/latest_ver";

// The digests were computed apart from this code, from the rule as written.
TEST(QMNetworkHelperSignTest, OrdersKeysByCodeUnitsAndCutsLongValues) {
  EXPECT_EQ(QMNetworkHelper::networkSignParam(
                {{"videoId", ns::Value("7")}, {"sid", ns::Value("abc")}, {"app_id", ns::Value("83")}}),
            "21584ba0cd3a206b62c89e4f18adfb58");
  EXPECT_EQ(QMNetworkHelper::networkSignParam({{"a", ns::Value(1)}, {"Z", ns::Value(2)}}),
            "78e4d6c0eca0fcb40ad71d2b5ba3e33c");
  EXPECT_EQ(QMNetworkHelper::networkSignParam({{"\uFF21", ns::Value("2")}, {"\U0001F600", ns::Value("1")}}),
            "f407b82979e50e3464716b8cf6da9b71");
  const std::string fifty(50, 'x');
  EXPECT_EQ(QMNetworkHelper::networkSignParam({{"k", ns::Value(fifty)}}), "6410c071e9b6e6cc6b74760af6a596c4");
  EXPECT_EQ(QMNetworkHelper::networkSignParam({{"k", ns::Value(fifty + "y")}}),
            "6410c071e9b6e6cc6b74760af6a596c4");
  EXPECT_EQ(QMNetworkHelper::networkSignParam({{"k", ns::Value(std::string(49, 'x') + "\U0001F600")}}),
            "cfbbfc48998a600c6c9098f66a8900a2");
  EXPECT_EQ(QMNetworkHelper::networkSignParam({{"page", ns::Value(1)}}),
            QMNetworkHelper::networkSignParam({{"page", ns::Value("1")}}));
  EXPECT_EQ(QMNetworkHelper::networkSignParam({}), std::nullopt);
}

TEST(QMNetworkHelperCodeTest, MapsCodesToTheClientsOwnTexts) {
  const auto text = [](const ns::Value& code) { return QMNetworkHelper::networkParseServerCode(&code); };
  EXPECT_EQ(text(ns::Value(9701)), "根据appid查找secretkey失败");
  EXPECT_EQ(text(ns::Value(9708)), "sid 无效");
  EXPECT_EQ(text(ns::Value(9724)), "验证码错误");
  EXPECT_EQ(text(ns::Value(9740)), "密码长度不符合要求");
  EXPECT_EQ(text(ns::Value(9802)), "身份证号输入有误");
  EXPECT_EQ(text(ns::Value(9999)), "系统内部错误");
  EXPECT_EQ(text(ns::Value(-1)), "未知错误");
  EXPECT_EQ(text(ns::Value("9706")), "用户名或密码错误");
  for (int unlisted : {0, 9704, 9726, 9736, 9800, 404}) {
    EXPECT_EQ(text(ns::Value(unlisted)), "网络错误") << unlisted;
  }
  EXPECT_EQ(QMNetworkHelper::networkParseServerCode(nullptr), "网络错误");
}

class QMNetworkHelperTest : public ::testing::Test {
 protected:
  AppTestEnvironment app_;
};

TEST_F(QMNetworkHelperTest, TheBackEndAcceptsTheSignOfLongNumericAndWideValues) {
  const std::string longValue = std::string(49, 'x') + "\U0001F600" + "tail";
  AppTestEnvironment::Reply reply =
      app_.post(kTimePath, ns::Dictionary{{"note", ns::Value(longValue)},
                                          {"Zone", ns::Value("澜屿")},
                                          {"page", ns::Value(2)},
                                          {"\U0001F600", ns::Value(std::string(50, 'y'))}});
  ASSERT_TRUE(reply.object);
  EXPECT_EQ(*reply.object->find("code"), ns::Value(0)) << ns::describe(*reply.object);
  const std::vector<sample_backend::api::RecordedApiRequest> recorded =
      app_.backend().recordedRequests(kTimePath);
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].refusal, "");
  EXPECT_EQ(recorded[0].request.parameter("note"), longValue);
  EXPECT_EQ(recorded[0].request.parameter("page"), "2");
}

TEST_F(QMNetworkHelperTest, EveryRequestCarriesTheCommonHeaders) {
  EXPECT_EQ(QMNetworkHelper::commonServerManager().get(), QMNetworkHelper::commonServerManager().get());
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  ASSERT_TRUE(app_.post(kVersionPath).object);
  const std::vector<sample_backend::api::RecordedApiRequest> recorded = app_.backend().recordedRequests();
  ASSERT_EQ(recorded.size(), 1u);
  const sample_backend::api::ApiRequest& request = recorded[0].request;
  EXPECT_EQ(request.header("app_name"), "澜屿考研");
  EXPECT_EQ(request.header("version"), "v1.0.0");
  EXPECT_EQ(request.header("protocol_version"), "1.0");
  EXPECT_EQ(request.header("imei"), DeviceUID::value());
  EXPECT_EQ(request.header("platform"), "ios_phone_" + uikit::Device::currentDevice().systemVersion());
  EXPECT_EQ(request.header("model"), "iOS");
  EXPECT_EQ(request.header("screensize"), "750*1334");
  EXPECT_EQ(request.header("channel"), "000016");
  EXPECT_EQ(request.header("network"), "wifi") << "the header says Wi-Fi whatever the link";
  EXPECT_EQ(recorded[0].code, 0);
}

TEST_F(QMNetworkHelperTest, CommonParametersWithAndWithoutASession) {
  ns::Dictionary loggedOut = QMNetworkHelper::networkCommonParam(std::nullopt);
  EXPECT_EQ(loggedOut.at("app_id"), ns::Value("83"));
  EXPECT_EQ(loggedOut.count("sid"), 0u);
  EXPECT_EQ(loggedOut.at("sign"),
            ns::Value(*QMNetworkHelper::networkSignParam({{"app_id", ns::Value("83")}})));

  // A logged-out caller's own "sid" stays and is signed; the back end refuses it as no live session.
  const ns::Dictionary callerSid{{"sid", ns::Value("20160001")}};
  EXPECT_EQ(QMNetworkHelper::networkCommonParam(callerSid).at("sid"), ns::Value("20160001"));
  EXPECT_EQ(*app_.post(kTimePath, callerSid).object->find("code"), ns::Value(9708));

  // An empty session id counts as logged in but is not sent.
  QMUser::sharedInstance()->setUserSid("");
  EXPECT_TRUE(QMUser::sharedInstance()->isLogin());
  EXPECT_EQ(QMNetworkHelper::networkCommonParam(std::nullopt).count("sid"), 0u);
  const std::string session = app_.postLogin().sid;
  QMUser::sharedInstance()->setUserSid(session);
  EXPECT_EQ(QMNetworkHelper::networkCommonParam(callerSid).at("sid"), ns::Value(session));
  app_.backend().clearRecordedRequests();
  EXPECT_EQ(*app_.post(kTimePath, callerSid).object->find("code"), ns::Value(0));
  EXPECT_EQ(app_.backend().recordedRequests()[0].request.parameter("sid"), session);
}

TEST_F(QMNetworkHelperTest, RefusedCodesShowTheTableTextWhenAsked) {
  for (const auto& [code, text] :
       std::vector<std::pair<int, std::string>>{{9724, "验证码错误"}, {9704, "网络错误"}}) {
    app_.clearWindow();
    app_.backend().controls().refuseNextRequest(kTimePath, code);
    EXPECT_FALSE(QMNetworkHelper::networkParseServerReply(app_.post(kTimePath).object, true));
    EXPECT_EQ(app_.toasts(), std::vector<std::string>{text}) << code;
  }
  app_.clearWindow();
  app_.backend().controls().refuseNextRequest(kTimePath, 9712);
  EXPECT_FALSE(QMNetworkHelper::networkParseServerReply(app_.post(kTimePath).object, false));
  EXPECT_TRUE(app_.toasts().empty());
  // A code sent as text is read as its number; a reply without a code passes.
  app_.backend().controls().refuseNextRequest(kTimePath, 9702);
  app_.backend().controls().sendNextCodeAs(kTimePath, sample_backend::api::CodeForm::kText);
  AppTestEnvironment::Reply textCode = app_.post(kTimePath);
  EXPECT_EQ(*textCode.object->find("code"), ns::Value("9702"));
  EXPECT_FALSE(QMNetworkHelper::networkParseServerReply(textCode.object, true));
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"用户不存在"});
  app_.backend().controls().sendNextCodeAs(kVersionPath, sample_backend::api::CodeForm::kMissing);
  AppTestEnvironment::Reply noCode = app_.post(kVersionPath);
  EXPECT_EQ(noCode.object->find("code"), nullptr);
  EXPECT_TRUE(QMNetworkHelper::networkParseServerReply(noCode.object, true));
}

TEST_F(QMNetworkHelperTest, AReplyThatIsNotAnObjectFails) {
  EXPECT_FALSE(QMNetworkHelper::networkParseServerReply(ns::Value(ns::Array{ns::Value(0)}), true));
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"未知错误"});
  EXPECT_FALSE(QMNetworkHelper::networkParseServerReply(std::nullopt, false));
  EXPECT_TRUE(QMNetworkHelper::networkParseServerReply(ns::Value(ns::Dictionary{}), true));
}

TEST_F(QMNetworkHelperTest, ADisplacedSessionForcesALogout) {
  std::vector<std::string> events;
  QMAppServices::setDownloadPauser([&] { events.push_back("pause"); });
  QMAppServices::setRootRebuilder([&] { events.push_back("root"); });
  ns::NotificationCenter::ObserverToken token = ns::NotificationCenter::defaultCenter().addObserverForName(
      std::string(kQMUserLogoutNotification), nullptr, nullptr,
      [&](const ns::Notification&) { events.push_back("logout"); });
  // While logged out, a session error changes nothing.
  app_.backend().controls().refuseNextRequest(kTimePath, 9708);
  EXPECT_FALSE(QMNetworkHelper::networkParseServerReply(app_.post(kTimePath).object, true));
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(uikit::AlertView::visibleAlerts().empty());
  EXPECT_TRUE(app_.toasts().empty());
  QMUser::sharedInstance()->setUserSid(app_.postLogin().sid);
  app_.postLogin();  // The same learner signs in on another device.
  AppTestEnvironment::Reply reply = app_.post(kTimePath);
  ASSERT_TRUE(reply.object);
  EXPECT_EQ(*reply.object->find("code"), ns::Value(9708));
  EXPECT_FALSE(QMNetworkHelper::networkParseServerReply(reply.object, false));
  ns::NotificationCenter::defaultCenter().removeObserver(token);
  EXPECT_EQ(events, (std::vector<std::string>{"pause", "logout", "root"}));
  EXPECT_FALSE(QMUser::sharedInstance()->isLogin());
  const std::vector<std::shared_ptr<uikit::AlertView>> alerts = uikit::AlertView::visibleAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0]->title(), "");
  EXPECT_EQ(alerts[0]->message(), kQMForcedLogoutText);
  EXPECT_EQ(alerts[0]->numberOfButtons(), 1);
  EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), "我知道了");
  EXPECT_TRUE(app_.toasts().empty());
}

TEST_F(QMNetworkHelperTest, NetworkAvailabilityIsKnownBeforeLaunchAndFollowsTheLink) {
  EXPECT_TRUE(QMNetworkHelper::isHaveNetwork()) << "before any monitor starts, the request layer has one";
  EXPECT_TRUE(app_.toasts().empty());
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  EXPECT_TRUE(QMNetworkHelper::isHaveNetwork());
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  EXPECT_FALSE(QMNetworkHelper::isHaveNetwork());
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"暂无网络,请检查网络"});
}

}  // namespace

}  // namespace app
