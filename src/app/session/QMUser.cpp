#include "app/session/QMUser.h"

#include "app/session/QMAppServices.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/UserDefaults.h"

namespace app {

namespace {

constexpr char kZCoinAmountKey[] = "ZCoinAmount";
constexpr char kZCoinFreezeAmountKey[] = "ZCoinFreezeAmount";
constexpr char kZCoinMarkKey[] = "ZCoinMark";
constexpr char kOnlyWifiPlayKey[] = "UserOnlyWifiPlay";
constexpr char kOnlyWifiDownKey[] = "UserOnlyWifiDown";

ns::UserDefaults& defaults() {
  return ns::UserDefaults::standardUserDefaults();
}

// Writes `value` under `key` (a null removes it) and synchronises at once, so that the session survives a
// crash that follows. A write that fails stays pending in the defaults, which retry it at the next change.
void storeAndSynchronize(const ns::Value& value, const char* key) {
  defaults().setObject(value, key);
  (void)defaults().synchronize();
}

std::shared_ptr<QMUser>& sharedSlot() {
  static std::shared_ptr<QMUser> shared;
  return shared;
}

}  // namespace

const std::shared_ptr<QMUser>& QMUser::sharedInstance() {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<QMUser>& shared = sharedSlot();
  if (!shared) {
    shared = std::shared_ptr<QMUser>(new QMUser());
  }
  return shared;
}

void QMUser::resetSharedInstanceForTesting() {
  QM_DCHECK_MAIN_THREAD();
  sharedSlot().reset();
}

bool QMUser::isLogin() {
  QM_DCHECK_MAIN_THREAD();
  return userSid().has_value();
}

void QMUser::logout() {
  QM_DCHECK_MAIN_THREAD();
  QMAppServices::pauseAllDownloads();
  for (KeptText* field : {&userLoginName_, &userPassword_, &userId_, &userSid_, &userNickName_,
                          &userRealName_, &userAvater_, &userBirthday_, &userSex_, &userAddress_,
                          &onLearningSubjectNumber_, &onLearningProcess_, &remainderDays_}) {
    storeText(*field, std::nullopt);
  }
  setIsNeedSign(false);
  setOnlyWifiPlay(true);
  setOnlyWifiDown(true);
  setZCoinMark(std::nullopt);
  setZCoinFreezeAmount(0);
  setZCoinAmount(0);
  ns::NotificationCenter::defaultCenter().postNotificationName(kQMUserLogoutNotification);
  QMAppServices::reloadRootController();
}

std::optional<std::string> QMUser::loadedText(KeptText& field) {
  if (!field.value) {
    field.value = defaults().stringForKey(field.key);
  }
  return field.value;
}

void QMUser::storeText(KeptText& field, std::optional<std::string> value) {
  field.value = std::move(value);
  storeAndSynchronize(field.value ? ns::Value(*field.value) : ns::Value(), field.key);
}

double QMUser::ZCoinAmount() const {
  return defaults().floatForKey(kZCoinAmountKey);
}

void QMUser::setZCoinAmount(double amount) {
  QM_DCHECK_MAIN_THREAD();
  storeAndSynchronize(ns::Value(static_cast<float>(amount)), kZCoinAmountKey);
}

double QMUser::ZCoinFreezeAmount() const {
  return defaults().floatForKey(kZCoinFreezeAmountKey);
}

void QMUser::setZCoinFreezeAmount(double amount) {
  QM_DCHECK_MAIN_THREAD();
  storeAndSynchronize(ns::Value(static_cast<float>(amount)), kZCoinFreezeAmountKey);
}

std::optional<ns::Value> QMUser::ZCoinMark() const {
  return defaults().objectForKey(kZCoinMarkKey);
}

void QMUser::setZCoinMark(std::optional<ns::Value> mark) {
  QM_DCHECK_MAIN_THREAD();
  storeAndSynchronize(mark.value_or(ns::Value()), kZCoinMarkKey);
}

bool QMUser::onlyWifiPlay() const {
  return defaults().boolForKey(kOnlyWifiPlayKey);
}

void QMUser::setOnlyWifiPlay(bool onlyWifi) {
  QM_DCHECK_MAIN_THREAD();
  storeAndSynchronize(ns::Value(onlyWifi), kOnlyWifiPlayKey);
}

bool QMUser::onlyWifiDown() const {
  return defaults().boolForKey(kOnlyWifiDownKey);
}

void QMUser::setOnlyWifiDown(bool onlyWifi) {
  QM_DCHECK_MAIN_THREAD();
  storeAndSynchronize(ns::Value(onlyWifi), kOnlyWifiDownKey);
}

}  // namespace app
