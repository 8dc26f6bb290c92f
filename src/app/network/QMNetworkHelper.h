#pragma once

// QMNetworkHelper: the road of every back-end request. It owns the one shared request manager (with the
// common headers), adds the common parameters and the sign to each parameter dictionary, judges the reply's
// code with the client's own texts (a code of 9708 while logged in forces a logout), and reports a missing
// network before a request is made.
//
// The sign: the parameter keys in ascending order of their UTF-16 code units, each pair appended as key,
// "=" and the value's "%@" text cut to its first 50 UTF-16 code units (a cut that would split a surrogate
// pair leaves the whole character out), with nothing between pairs; then the 32-character signing key; the
// lower-case hexadecimal MD5 of those UTF-8 bytes. The back end checks it to the letter.
//
// Toasts go through ui::ProgressHUD::showAlertWithText() for 2.0 seconds.
//
// Thread-safety: main thread only; the shared manager's replies come back on the main queue.

#include <memory>
#include <optional>
#include <string>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "platform/foundation/values/Value.h"

namespace app {

inline constexpr char kQMApplicationId[] = "83";
inline constexpr char kQMNoNetworkText[] = "暂无网络,请检查网络";
inline constexpr char kQMForcedLogoutText[] = "检测到你的账号已在别的设备上登录，你已被迫下线，请重新登录";

class QMNetworkHelper {
 public:
  // Returns the shared request manager, made on the first call: base URL "http://" and the public web host
  // (QMServerHosts.h), form-encoded requests, JSON replies, and the headers of networkRequestHeader()
  // installed once. It lives for the whole process.
  static const std::shared_ptr<http_client::HCHTTPRequestOperationManager>& commonServerManager();

  // Returns true unless the reachability monitor reports no network; then shows kQMNoNetworkText and
  // returns false, and the caller makes no request.
  static bool isHaveNetwork();

  // Returns a copy of `parameters` (empty for none) with "app_id" kQMApplicationId, "sid" the session id
  // when the learner holds a non-empty one (replacing the caller's), and "sign" over the rest.
  static ns::Dictionary networkCommonParam(const std::optional<ns::Dictionary>& parameters);

  // Returns the nine common headers: "app_name", "version", "protocol_version", "imei", "platform",
  // "model", "screensize", "channel" and "network" (always "wifi"), as strings.
  static ns::Dictionary networkRequestHeader();

  // Returns the sign of `parameters` as the header comment describes, or std::nullopt when it is empty.
  static std::optional<std::string> networkSignParam(const ns::Dictionary& parameters);

  // Judges a reply's "code" (a number or numeric text; nullptr, a missing code, reads as 0): returns true
  // exactly for 0. For 9708 while logged in, logs the learner out and shows the forced-logout alert
  // (whatever `showHit` says); for 9708 while logged out, does nothing. For any other code, shows its text
  // when `showHit` is true.
  static bool networkParseServerCode(const ns::Value* code, bool showHit);
  // Judges a whole reply: one that is not a JSON object fails as the unknown code -1 does; an object is
  // judged by its "code" as above.
  static bool networkParseServerReply(const std::optional<ns::Value>& reply, bool showHit);
  // Returns the client's text for `code` (nullptr reads as 0).
  static std::string networkParseServerCode(const ns::Value* code);

  // Shows `reason` as a toast for 2.0 seconds.
  static void showRequestFaildWithReason(const std::string& reason);

  // Drops the shared manager, as a new process would start.
  static void resetForTesting();
};

}  // namespace app
