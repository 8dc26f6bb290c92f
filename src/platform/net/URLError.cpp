#include "platform/net/URLError.h"

#include <string>

namespace ns {

namespace {

std::string_view descriptionOf(URLErrorCode code) {
  switch (code) {
    case kURLErrorCancelled:
      return "The load was cancelled.";
    case kURLErrorBadURL:
      return "The URL is not valid.";
    case kURLErrorTimedOut:
      return "The server did not answer in time.";
    case kURLErrorUnsupportedURL:
      return "The URL's scheme cannot be loaded.";
    case kURLErrorCannotFindHost:
      return "The server's name could not be resolved.";
    case kURLErrorCannotConnectToHost:
      return "No connection could be made to the server.";
    case kURLErrorNetworkConnectionLost:
      return "The connection to the server was lost.";
    case kURLErrorHTTPTooManyRedirects:
      return "The server redirected too many times.";
    case kURLErrorNotConnectedToInternet:
      return "The device is not connected to a network.";
    case kURLErrorBadServerResponse:
      return "The server returned a response that could not be read.";
    case kURLErrorCannotDecodeRawData:
      return "The body could not be decoded.";
    case kURLErrorRequestBodyStreamExhausted:
      return "The request body stream was already read.";
    case kURLErrorDataLengthExceedsMaximum:
      return "The body is larger than the load allows.";
    case kURLErrorSecureConnectionFailed:
      return "A secure connection to the server could not be made.";
    case kURLErrorServerCertificateUntrusted:
      return "The server's certificate is not trusted.";
    case kURLErrorUnknown:
      break;
  }
  return "The load failed.";
}

}  // namespace

Error makeURLError(URLErrorCode code, const std::optional<URL>& failingURL,
                   const std::optional<std::string>& peerAddress) {
  Dictionary userInfo;
  userInfo.emplace(std::string(kLocalizedDescriptionKey), Value(descriptionOf(code)));
  if (failingURL) {
    userInfo.emplace(std::string(kURLErrorFailingURLErrorKey), Value(failingURL->absoluteString()));
    userInfo.emplace(std::string(kURLErrorFailingURLStringErrorKey), Value(failingURL->absoluteString()));
  }
  if (peerAddress) {
    userInfo.emplace(std::string(kURLErrorPeerAddressKey), Value(*peerAddress));
  }
  return Error(std::string(kURLErrorDomain), code, std::move(userInfo));
}

std::optional<std::string> peerAddressOf(const Error& error) {
  const auto found = error.userInfo().find(kURLErrorPeerAddressKey);
  if (found == error.userInfo().end() || !found->second.isString()) {
    return std::nullopt;
  }
  return found->second.asString();
}

}  // namespace ns
