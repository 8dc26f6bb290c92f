#pragma once

// QMUserDataModel: the client of the user-centre back end: login, the profile and the avatar, the coin
// account and its transactions, feedback, and the paged order list with cancelling.
//
// Each operation posts its parameters with the common ones (QMNetworkHelper::networkCommonParam) through
// the shared manager. Some operations ask for the network first (QMNetworkHelper::isHaveNetwork); without
// one they send nothing and call nothing back, and the request layer shows its own toast. Login and the
// profile put a loading indicator on the key window while they run; every indicator of the key window is
// taken down before anything else happens with the reply.
//
// The reply's "code" is judged with its toast shown (QMNetworkHelper::networkParseServerReply). On code 0
// what the reply teaches is written into the shared QMUser, while it exists, and then the Success callback
// runs; a refusal or a transport failure ends in the Failed callback, and a failed login changes nothing.
// Only the callbacks need the data model and its delegate alive: a reply that arrives after the screen has
// gone still reaches the shared user. The password itself is never stored.
//
// Thread-safety: main thread only; replies come back on the main queue.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/network/QMAPIRequest.h"
#include "app/user/QMUserDataModelDelegate.h"
#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"

namespace app {

class QMUser;

class QMUserDataModel : public ns::Object {
 public:
  static constexpr std::string_view kLoginPath = "/common/baselogin";
  static constexpr std::string_view kUserInfoPath = "/sns/get_user_info";
  static constexpr std::string_view kZCoinPath = "/pravik/account/zb";
  static constexpr std::string_view kZCoinListPath = "/pravik/account/zb/list";
  static constexpr std::string_view kAvaterPath = "/sns/get_user_headimage";
  static constexpr std::string_view kFeedbackPath = "/app/insertfeedback";
  static constexpr std::string_view kOrderListPath = "/pravik/order";
  static constexpr std::string_view kCancelOrderPath = "/pravik/order/cancel";
  // The number of orders asked for per page.
  static constexpr char kOrderPageSize[] = "10";

  // REQUIRES: the data model is owned by a std::shared_ptr before its first operation (its replies hold
  // it weakly).
  QMUserDataModel() = default;

  // The delegate is held weakly; a delegate that has gone hears nothing.
  std::shared_ptr<QMUserDataModelDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<QMUserDataModelDelegate> delegate) { delegate_ = std::move(delegate); }

  // Signs in with "username" `name` and "password" the Base64 of `password`. Asks for the network first;
  // shows the loading indicator. On success QMUser holds the reply's top-level "userId", "userName" (as
  // userLoginName) and "sid", and both Wi-Fi-only switches are turned on.
  void networkLoginWithName(const std::string& name, const std::string& password);

  // Asks for the profile. Asks for the network first; shows the loading indicator. On success QMUser holds,
  // from "obj": userAddress "<region1> <region2>", userRealName "real_name" and userNickName "nick_name"
  // (each a never-missing text, TRValidate::validateString), and userSex "sex" as it comes.
  void networkGetUserInfo();

  // Asks for the coin account. Asks for the network first. On success QMUser holds, from "obj",
  // ZCoinAmount "amount", ZCoinFreezeAmount "freezeAmount" (as floats) and ZCoinMark "remark".
  void networkGetUserZCoin();

  // Asks for the coin transactions. Asks for the network first. Success hands over "obj".
  void networkGetUserZCoinList();

  // Asks for the avatar ("type" "1"). On success QMUser holds userAvater "obj"."headImage1".
  void networkGetUserAvater();

  // Offered for a profile editor that does not exist yet: it sends none of its arguments, only the avatar
  // request's parameters to the avatar path, stores the reply's top-level "headImage1" as userAvater and
  // reports through the avatar callbacks.
  void networkUpdateUserInfoWithRealName(const std::string& realName, const std::string& sex,
                                         const std::string& address);

  // Sends the learner's feedback ("errorDescription" "联系方式:<phone> \n 反馈意见:<feedback>"). Asks for
  // the network first.
  void networkFeedbackWith(const std::string& feedback, const std::string& phone);

  // Asks for page `page` of the orders of `status` (-1 all, 0 unpaid, 2 closed): "status", "pageNo",
  // "pageSize" kOrderPageSize and "ios" "ios", all as texts. Success hands over "obj"."z_data".
  void networkGetUserOrderWithStaus(int status, int page);

  // Cancels the order `orderNo` ("orderNo").
  void networkCacelUserOrderWtihID(const std::string& orderNo);

 private:
  enum class NetworkCheck { kNone, kFirst };
  using LoadingIndicator = QMAPIRequest::LoadingIndicator;
  using Failed = void (QMUserDataModelDelegate::*)();

  // How one operation goes: what its reply writes into the shared user (given the whole reply), and how the
  // delegate hears of success (given the whole reply) and of failure.
  struct Operation {
    std::function<void(QMUser&, const ns::Value& reply)> store;
    std::function<void(QMUserDataModelDelegate&, const ns::Value& reply)> succeeded;
    Failed failed;
  };

  // Posts `parameters` and the common ones to `path` as the header comment describes.
  void post(std::string_view path, ns::Dictionary parameters, NetworkCheck check, LoadingIndicator indicator,
            Operation operation);
  std::weak_ptr<QMUserDataModel> weakSelf();

  std::weak_ptr<QMUserDataModelDelegate> delegate_;
};

}  // namespace app
