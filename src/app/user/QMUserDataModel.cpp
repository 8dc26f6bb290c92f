#include "app/user/QMUserDataModel.h"

#include <limits>
#include <optional>
#include <utility>

#include "app/helpers/TRValidate.h"
#include "app/network/QMNetworkHelper.h"
#include "app/network/TREncrypt.h"
#include "app/session/QMUser.h"
#include "app/store/ServerValue.h"
#include "platform/foundation/check/Check.h"

namespace app {

namespace {

// The value under `key` of `reply`, or null when it has none.
const ns::Value& valueOf(const ns::Value& reply, std::string_view key) {
  static const ns::Value kNull;
  const ns::Value* value = reply.find(key);
  return value != nullptr ? *value : kNull;
}

const ns::Value& objOf(const ns::Value& reply) {
  return valueOf(reply, "obj");
}

// A coin amount as the user keeps it (a float): a missing or non-finite amount reads 0, and one beyond the
// float range its nearest limit.
double coinAmountOf(const ns::Value& obj, std::string_view key) {
  return serverNumberOrNil(obj.find(key), std::numeric_limits<float>::lowest(),
                           std::numeric_limits<float>::max())
      .value_or(0);
}

// The success of an operation that hands nothing over.
template <void (QMUserDataModelDelegate::*callback)()>
void tellSuccess(QMUserDataModelDelegate& delegate, const ns::Value&) {
  (delegate.*callback)();
}

void storeNothing(QMUser&, const ns::Value&) {}

void storeAvaterOf(QMUser& user, const ns::Value& holder) {
  user.setUserAvater(serverTextOrNil(holder.find("headImage1")));
}

ns::Dictionary avaterParameters() {
  return ns::Dictionary{{"type", ns::Value("1")}};
}

}  // namespace

std::weak_ptr<QMUserDataModel> QMUserDataModel::weakSelf() {
  return std::static_pointer_cast<QMUserDataModel>(shared_from_this());
}

void QMUserDataModel::post(std::string_view path, ns::Dictionary parameters, NetworkCheck check,
                           LoadingIndicator indicator, Operation operation) {
  QM_DCHECK_MAIN_THREAD();
  if (check == NetworkCheck::kFirst && !QMNetworkHelper::isHaveNetwork()) {
    return;
  }
  QMAPIRequest::post(path, parameters, QMAPIRequest::RefusalToast::kShow, indicator,
                     [model = weakSelf(), user = std::weak_ptr<QMUser>(QMUser::sharedInstance()),
                      operation = std::move(operation)](const std::optional<ns::Value>& reply) {
                       if (reply) {
                         if (const std::shared_ptr<QMUser> sharedUser = user.lock()) {
                           operation.store(*sharedUser, *reply);
                         }
                       }
                       const std::shared_ptr<QMUserDataModel> alive = model.lock();
                       const std::shared_ptr<QMUserDataModelDelegate> delegate =
                           alive ? alive->delegate() : nullptr;
                       if (!delegate) {
                         return;
                       }
                       if (reply) {
                         operation.succeeded(*delegate, *reply);
                       } else {
                         ((*delegate).*operation.failed)();
                       }
                     });
}

void QMUserDataModel::networkLoginWithName(const std::string& name, const std::string& password) {
  QM_DCHECK_MAIN_THREAD();
  post(kLoginPath,
       ns::Dictionary{{"username", ns::Value(name)},
                      {"password", ns::Value(TREncrypt::base64Encrypt(password))}},
       NetworkCheck::kFirst, LoadingIndicator::kOnKeyWindow,
       Operation{[](QMUser& user, const ns::Value& reply) {
                   user.setUserId(serverTextOrNil(reply.find("userId")));
                   user.setUserLoginName(serverTextOrNil(reply.find("userName")));
                   user.setUserSid(serverTextOrNil(reply.find("sid")));
                   user.setOnlyWifiPlay(true);
                   user.setOnlyWifiDown(true);
                 },
                 tellSuccess<&QMUserDataModelDelegate::networkLoginSuccess>,
                 &QMUserDataModelDelegate::networkLoginFailed});
}

void QMUserDataModel::networkGetUserInfo() {
  QM_DCHECK_MAIN_THREAD();
  post(kUserInfoPath, {}, NetworkCheck::kFirst, LoadingIndicator::kOnKeyWindow,
       Operation{[](QMUser& user, const ns::Value& reply) {
                   const ns::Value& obj = objOf(reply);
                   user.setUserAddress(TRValidate::validateString(obj.find("region1")) + " " +
                                       TRValidate::validateString(obj.find("region2")));
                   user.setUserRealName(TRValidate::validateString(obj.find("real_name")));
                   user.setUserNickName(TRValidate::validateString(obj.find("nick_name")));
                   user.setUserSex(serverTextOrNil(obj.find("sex")));
                 },
                 tellSuccess<&QMUserDataModelDelegate::networkGetUserInfoSuccess>,
                 &QMUserDataModelDelegate::networkGetUserInfoFailed});
}

void QMUserDataModel::networkGetUserZCoin() {
  QM_DCHECK_MAIN_THREAD();
  post(kZCoinPath, {}, NetworkCheck::kFirst, LoadingIndicator::kNone,
       Operation{[](QMUser& user, const ns::Value& reply) {
                   const ns::Value& obj = objOf(reply);
                   user.setZCoinAmount(coinAmountOf(obj, "amount"));
                   user.setZCoinFreezeAmount(coinAmountOf(obj, "freezeAmount"));
                   const ns::Value* remark = obj.find("remark");
                   user.setZCoinMark(remark != nullptr ? std::optional<ns::Value>(*remark) : std::nullopt);
                 },
                 tellSuccess<&QMUserDataModelDelegate::networkGetUserZCoinSuccess>,
                 &QMUserDataModelDelegate::networkGetUserZCoinFailed});
}

void QMUserDataModel::networkGetUserZCoinList() {
  QM_DCHECK_MAIN_THREAD();
  post(kZCoinListPath, {}, NetworkCheck::kFirst, LoadingIndicator::kNone,
       Operation{storeNothing,
                 [](QMUserDataModelDelegate& delegate, const ns::Value& reply) {
                   delegate.networkGetUserZCoinListSuccess(objOf(reply));
                 },
                 &QMUserDataModelDelegate::networkGetUserZCoinListFailed});
}

void QMUserDataModel::networkGetUserAvater() {
  QM_DCHECK_MAIN_THREAD();
  post(kAvaterPath, avaterParameters(), NetworkCheck::kNone, LoadingIndicator::kNone,
       Operation{[](QMUser& user, const ns::Value& reply) { storeAvaterOf(user, objOf(reply)); },
                 tellSuccess<&QMUserDataModelDelegate::networkGetUserAvaterSuccess>,
                 &QMUserDataModelDelegate::networkGetUserAvaterFailed});
}

void QMUserDataModel::networkUpdateUserInfoWithRealName(const std::string& /*realName*/,
                                                        const std::string& /*sex*/,
                                                        const std::string& /*address*/) {
  QM_DCHECK_MAIN_THREAD();
  post(kAvaterPath, avaterParameters(), NetworkCheck::kNone, LoadingIndicator::kNone,
       Operation{storeAvaterOf, tellSuccess<&QMUserDataModelDelegate::networkGetUserAvaterSuccess>,
                 &QMUserDataModelDelegate::networkGetUserAvaterFailed});
}

void QMUserDataModel::networkFeedbackWith(const std::string& feedback, const std::string& phone) {
  QM_DCHECK_MAIN_THREAD();
  post(kFeedbackPath,
       ns::Dictionary{{"errorDescription", ns::Value("联系方式:" + phone + " \n 反馈意见:" + feedback)}},
       NetworkCheck::kFirst, LoadingIndicator::kNone,
       Operation{storeNothing, tellSuccess<&QMUserDataModelDelegate::networkFeedbackSuccess>,
                 &QMUserDataModelDelegate::networkFeedbackFailed});
}

void QMUserDataModel::networkGetUserOrderWithStaus(int status, int page) {
  QM_DCHECK_MAIN_THREAD();
  post(kOrderListPath,
       ns::Dictionary{{"status", ns::Value(std::to_string(status))},
                      {"pageNo", ns::Value(std::to_string(page))},
                      {"pageSize", ns::Value(kOrderPageSize)},
                      {"ios", ns::Value("ios")}},
       NetworkCheck::kNone, LoadingIndicator::kNone,
       Operation{storeNothing,
                 [](QMUserDataModelDelegate& delegate, const ns::Value& reply) {
                   delegate.networkGetUserOrderListSuccess(valueOf(objOf(reply), "z_data"));
                 },
                 &QMUserDataModelDelegate::networkGetUserOrderListFailed});
}

void QMUserDataModel::networkCacelUserOrderWtihID(const std::string& orderNo) {
  QM_DCHECK_MAIN_THREAD();
  post(kCancelOrderPath, ns::Dictionary{{"orderNo", ns::Value(orderNo)}}, NetworkCheck::kNone,
       LoadingIndicator::kNone,
       Operation{storeNothing, tellSuccess<&QMUserDataModelDelegate::networkCancelUserOrderSuccess>,
                 &QMUserDataModelDelegate::networkCancelUserOrderFailed});
}

}  // namespace app
