#include "platform/net/AuthenticationChallenges.h"

#include <string_view>
#include <utility>

#include "platform/foundation/crypto/Base64.h"
#include "platform/net/HTTPHeaderFields.h"

namespace ns {

namespace {

// The realm of a Basic challenge ("Basic realm=\"files\""), or nullopt when it names none.
std::optional<std::string> realmOf(std::string_view challenge) {
  const std::string lower = lowercaseASCII(challenge);
  const std::size_t key = lower.find("realm=\"");
  if (key == std::string::npos) {
    return std::nullopt;
  }
  const std::size_t start = key + 7;
  const std::size_t end = challenge.find('"', start);
  return std::string(challenge.substr(start, end == std::string_view::npos ? end : end - start));
}

int portOf(const URL& url) {
  return url.port().value_or(url.scheme() == "https" ? 443 : 80);
}

}  // namespace

URLAuthenticationChallenge serverTrustChallenge(const URL& url, const std::string& host,
                                                const ServerTrust& trust) {
  URLAuthenticationChallenge challenge;
  challenge.protectionSpace = URLProtectionSpace{host,
                                                 portOf(url),
                                                 url.scheme().value_or("https"),
                                                 std::nullopt,
                                                 kURLAuthenticationMethodServerTrust,
                                                 std::make_shared<ServerTrust>(trust.certificateChain())};
  return challenge;
}

std::optional<URLAuthenticationChallenge> basicChallengeOf(const URL& url,
                                                           std::shared_ptr<const HTTPURLResponse> response,
                                                           int previousFailureCount) {
  if (!response || response->statusCode() != 401) {
    return std::nullopt;
  }
  const auto header = response->allHeaderFields().find("WWW-Authenticate");
  if (header == response->allHeaderFields().end() || !lowercaseASCII(header->second).starts_with("basic")) {
    return std::nullopt;
  }
  URLAuthenticationChallenge challenge;
  challenge.protectionSpace = URLProtectionSpace{url.host().value_or(""),           portOf(url),
                                                 url.scheme().value_or("http"),     realmOf(header->second),
                                                 kURLAuthenticationMethodHTTPBasic, nullptr};
  challenge.previousFailureCount = previousFailureCount;
  challenge.failureResponse = std::move(response);
  return challenge;
}

std::string basicAuthorization(const URLCredential& credential) {
  return "Basic " + base64Encode(dataFromString(credential.user() + ":" + credential.password()));
}

}  // namespace ns
