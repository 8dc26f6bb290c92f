#include "platform/avfoundation/MediaErrors.h"

#include "platform/net/URLError.h"

extern "C" {
#include <libavutil/error.h>
}

namespace av {

namespace {

ns::Dictionary withPeerAddress(ns::Dictionary userInfo, const std::optional<std::string>& peerAddress) {
  if (peerAddress) {
    userInfo.emplace(std::string(ns::kURLErrorPeerAddressKey), ns::Value(*peerAddress));
  }
  return userInfo;
}

}  // namespace

ns::Error httpStatusError(int statusCode, const ns::URL& url, const std::optional<std::string>& peerAddress) {
  const std::int64_t code = statusCode == 404 ? kMediaResourceNotFound : kMediaResourceHTTPError;
  return ns::Error(std::string(kCoreMediaErrorDomain), code,
                   withPeerAddress(ns::Dictionary{{"URI", ns::Value(url.absoluteString())},
                                                  {"statusCode", ns::Value(std::int64_t{statusCode})}},
                                   peerAddress));
}

ns::Error resourceTooLargeError(const ns::URL& url, std::size_t maximumSize,
                                const std::optional<std::string>& peerAddress) {
  return ns::Error(
      std::string(kMediaErrorDomain), kMediaResourceTooLarge,
      withPeerAddress(
          ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                          ns::Value("The resource is larger than " + std::to_string(maximumSize) + " bytes")},
                         {"URI", ns::Value(url.absoluteString())}},
          peerAddress));
}

ns::Error transportError(const ns::Error& urlError) {
  return ns::Error(std::string(kCFErrorDomainCFNetwork), urlError.code(), urlError.userInfo());
}

ns::Error mediaFailure(std::int64_t code, ns::Error cause) {
  ns::Error failure(std::string(kAVFoundationErrorDomain), code,
                    ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                                    ns::Value(std::string("The operation could not be completed"))}});
  failure.setUnderlyingError(std::move(cause));
  return failure;
}

ns::Error libavError(int averror, std::string_view what) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(averror, text, sizeof text);
  return ns::Error(std::string(kMediaErrorDomain), averror,
                   ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                                   ns::Value(std::string(what) + ": " + text)}});
}

}  // namespace av
