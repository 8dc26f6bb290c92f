#pragma once

// Errors of URL loading: the domain, the codes, and the user-info keys of the failing URL and of the server
// reached.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Error.h"
#include "platform/net/URL.h"

namespace ns {

inline constexpr std::string_view kURLErrorDomain = "NSURLErrorDomain";
// User-info keys; both hold the failing URL's absolute string.
inline constexpr std::string_view kURLErrorFailingURLErrorKey = "NSErrorFailingURLKey";
inline constexpr std::string_view kURLErrorFailingURLStringErrorKey = "NSErrorFailingURLStringKey";
// User-info key of the numeric address of the server whose connection the load was on when it failed
// (URLResponse::peerAddress()); absent when no connection was made.
inline constexpr std::string_view kURLErrorPeerAddressKey = "peerAddress";

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
  kURLErrorDataLengthExceedsMaximum = -1103,
  kURLErrorSecureConnectionFailed = -1200,
  kURLErrorServerCertificateUntrusted = -1202,
};

// Returns an error of kURLErrorDomain with `code`, its description under kLocalizedDescriptionKey, when
// `failingURL` is given its absolute string under both failing-URL keys, and when `peerAddress` is given that
// under kURLErrorPeerAddressKey.
Error makeURLError(URLErrorCode code, const std::optional<URL>& failingURL,
                   const std::optional<std::string>& peerAddress = std::nullopt);
// Returns the address under kURLErrorPeerAddressKey in `error`'s user info, or nullopt when there is none.
std::optional<std::string> peerAddressOf(const Error& error);

}  // namespace ns
