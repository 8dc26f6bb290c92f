#pragma once

// Errors of URL loading: the domain, the codes and the user-info keys of the failing URL.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/foundation/values/Error.h"
#include "platform/net/URL.h"

namespace ns {

inline constexpr std::string_view kURLErrorDomain = "NSURLErrorDomain";
// User-info keys; both hold the failing URL's absolute string.
inline constexpr std::string_view kURLErrorFailingURLErrorKey = "NSErrorFailingURLKey";
inline constexpr std::string_view kURLErrorFailingURLStringErrorKey = "NSErrorFailingURLStringKey";

enum URLErrorCode : std::int64_t {
  kURLErrorUnknown = -1,
  kURLErrorCancelled = -999,
  kURLErrorBadURL = -1000,
  kURLErrorTimedOut = -1001,
  kURLErrorUnsupportedURL = -1002,
  kURLErrorCannotFindHost = -1003,
  kURLErrorCannotConnectToHost = -1004,
  kURLErrorNetworkConnectionLost = -1005,
  kURLErrorHTTPTooManyRedirects = -1007,
  kURLErrorNotConnectedToInternet = -1009,
  kURLErrorBadServerResponse = -1011,
  kURLErrorCannotDecodeRawData = -1015,
  kURLErrorRequestBodyStreamExhausted = -1021,
  kURLErrorSecureConnectionFailed = -1200,
  kURLErrorServerCertificateUntrusted = -1202,
};

// Returns an error of kURLErrorDomain with `code`, its description under kLocalizedDescriptionKey and, when
// `failingURL` is given, its absolute string under both failing-URL keys.
Error makeURLError(URLErrorCode code, const std::optional<URL>& failingURL);

}  // namespace ns
