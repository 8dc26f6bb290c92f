#include "app/network/QMNetworkHelper.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/network/DeviceUID.h"
#include "app/network/QMServerCodeTable.h"
#include "app/network/QMServerHosts.h"
#include "app/network/TREncrypt.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/text/CaseMapping.h"
#include "platform/foundation/text/Utf16.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Screen.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

namespace {

constexpr char kSigningKey[] = "7b2e9d40c5a1f8e36d0b4c92a7f15e08";
constexpr std::size_t kSignedValueUnits = 50;
constexpr std::int64_t kCodeSessionInvalid = 9708;
constexpr std::int64_t kCodeUnknown = -1;
constexpr double kToastSeconds = 2.0;

std::shared_ptr<http_client::HCHTTPRequestOperationManager>& sharedManagerSlot() {
  static std::shared_ptr<http_client::HCHTTPRequestOperationManager> manager;
  return manager;
}

std::int64_t codeNumber(const ns::Value* code) {
  return code == nullptr ? 0 : code->integerValue();
}

// "ios_<model lower-cased without its first character>_<system version>": "ios_phone_9.3" on an iPhone.
std::string platformText() {
  const uikit::Device& device = uikit::Device::currentDevice();
  const std::string model = ns::lowercased(device.model());
  return "ios_" + (model.empty() ? model : model.substr(1)) + "_" + device.systemVersion();
}

std::string screenSizeText() {
  const uikit::Screen& screen = uikit::Screen::mainScreen();
  const uikit::Rect bounds = screen.bounds();
  const auto pixels = [&](double points) {
    return std::to_string(static_cast<long long>(points * screen.scale()));
  };
  return pixels(bounds.size.width) + "*" + pixels(bounds.size.height);
}

}  // namespace

const std::shared_ptr<http_client::HCHTTPRequestOperationManager>& QMNetworkHelper::commonServerManager() {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<http_client::HCHTTPRequestOperationManager>& manager = sharedManagerSlot();
  if (!manager) {
    manager = std::make_shared<http_client::HCHTTPRequestOperationManager>(
        ns::URL::fromString("http://" + QMServerHosts::publicWebHost()));
    for (const auto& [field, value] : networkRequestHeader()) {
      manager->requestSerializer()->setValue(value.asString(), field);
    }
  }
  return manager;
}

bool QMNetworkHelper::isHaveNetwork() {
  QM_DCHECK_MAIN_THREAD();
  if (QMAppServices::myReachable()->currentReachabilityStatus() != outside::NotReachable) {
    return true;
  }
  ui::ProgressHUD::showAlertWithText(kQMNoNetworkText, kToastSeconds);
  return false;
}

ns::Dictionary QMNetworkHelper::networkCommonParam(const std::optional<ns::Dictionary>& parameters) {
  QM_DCHECK_MAIN_THREAD();
  ns::Dictionary common = parameters.value_or(ns::Dictionary());
  common["app_id"] = ns::Value(kQMApplicationId);
  const std::optional<std::string> sessionId = QMUser::sharedInstance()->userSid();
  if (sessionId && !sessionId->empty()) {
    common["sid"] = ns::Value(*sessionId);
  }
  common["sign"] = ns::Value(networkSignParam(common).value_or(""));
  return common;
}

ns::Dictionary QMNetworkHelper::networkRequestHeader() {
  QM_DCHECK_MAIN_THREAD();
  const ns::Value* shortVersion =
      ns::Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleShortVersionString");
  return {
      {"app_name", ns::Value("澜屿考研")},
      {"version", ns::Value("v" + ns::describe(shortVersion))},
      {"protocol_version", ns::Value("1.0")},
      {"imei", ns::Value(DeviceUID::value())},
      {"platform", ns::Value(platformText())},
      {"model", ns::Value("iOS")},
      {"screensize", ns::Value(screenSizeText())},
      {"channel", ns::Value("000016")},
      {"network", ns::Value("wifi")},
  };
}

std::optional<std::string> QMNetworkHelper::networkSignParam(const ns::Dictionary& parameters) {
  QM_DCHECK_MAIN_THREAD();
  if (parameters.empty()) {
    return std::nullopt;
  }
  std::vector<std::string_view> keys;
  for (const auto& entry : parameters) {
    keys.push_back(entry.first);
  }
  std::sort(keys.begin(), keys.end(), ns::Utf16Less());
  std::string source;
  for (std::string_view key : keys) {
    const std::string value = ns::describe(parameters.find(key)->second);
    source.append(key).append("=").append(ns::utf16Prefix(value, kSignedValueUnits));
  }
  source += kSigningKey;
  return TREncrypt::md5Encrypt(source);
}

bool QMNetworkHelper::networkParseServerCode(const ns::Value* code, bool showHit) {
  QM_DCHECK_MAIN_THREAD();
  const std::int64_t number = codeNumber(code);
  if (number == 0) {
    return true;
  }
  if (number == kCodeSessionInvalid) {
    if (QMUser::sharedInstance()->isLogin()) {
      auto alert = std::make_shared<uikit::AlertView>("", kQMForcedLogoutText,
                                                      std::weak_ptr<uikit::AlertViewDelegate>(), "我知道了",
                                                      std::vector<std::string>());
      QMUser::sharedInstance()->logout();
      alert->show();
    }
    return false;
  }
  if (showHit) {
    showRequestFaildWithReason(serverCodeText(number));
  }
  return false;
}

bool QMNetworkHelper::networkParseServerReply(const std::optional<ns::Value>& reply, bool showHit) {
  QM_DCHECK_MAIN_THREAD();
  if (!reply || !reply->isDictionary()) {
    const ns::Value unknown(kCodeUnknown);
    return networkParseServerCode(&unknown, showHit);
  }
  return networkParseServerCode(reply->find("code"), showHit);
}

std::string QMNetworkHelper::networkParseServerCode(const ns::Value* code) {
  QM_DCHECK_MAIN_THREAD();
  return serverCodeText(codeNumber(code));
}

void QMNetworkHelper::showRequestFaildWithReason(const std::string& reason) {
  QM_DCHECK_MAIN_THREAD();
  ui::ProgressHUD::showAlertWithText(reason, kToastSeconds);
}

void QMNetworkHelper::resetForTesting() {
  QM_DCHECK_MAIN_THREAD();
  sharedManagerSlot().reset();
}

}  // namespace app
