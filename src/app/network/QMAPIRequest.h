#pragma once

// QMAPIRequest: the road that every data model's API call takes. It adds the common parameters and the sign
// (QMNetworkHelper::networkCommonParam), posts through the shared request manager, judges the reply's code
// (QMNetworkHelper::networkParseServerReply) and hands the outcome over on the main thread. Asking for the
// network first is the caller's choice, so it stays with the caller.
//
// Thread-safety: main thread only, as QMNetworkHelper.

#include <functional>
#include <optional>
#include <string_view>

#include "platform/foundation/values/Value.h"

namespace app {

class QMAPIRequest {
 public:
  // Whether a refused reply shows the client's text for its code (a forced logout always shows its alert).
  enum class RefusalToast { kShow, kQuiet };
  // Whether the loading indicator covers the key window until the request ends.
  enum class LoadingIndicator { kNone, kOnKeyWindow };
  // Called once per request with the whole reply when its code is 0, or std::nullopt for a refusal or a
  // transport failure.
  using Finished = std::function<void(const std::optional<ns::Value>& reply)>;

  // Posts `parameters` and the common ones to `path` on the shared manager and calls `finished` when the
  // request ends; a loading indicator is taken down before the reply is judged, so that a refusal's toast
  // is not taken down with it.
  static void post(std::string_view path, const ns::Dictionary& parameters, RefusalToast toast,
                   LoadingIndicator indicator, Finished finished);
};

}  // namespace app
