#pragma once

// ns::URLAuthenticationChallenge: a server asks the client to prove something: that it trusts the server's
// TLS certificates (kURLAuthenticationMethodServerTrust) or who the user is
// (kURLAuthenticationMethodHTTPBasic, after a 401 reply that names the Basic scheme). The session's delegate
// answers with a disposition and, for kUseCredential, a credential. A plain value; thread-safe as a value,
// though the trust it shares is used by one thread at a time.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/net/HTTPURLResponse.h"
#include "platform/net/ServerTrust.h"
#include "platform/net/URLCredential.h"

namespace ns {

inline constexpr std::string_view kURLAuthenticationMethodServerTrust =
    "NSURLAuthenticationMethodServerTrust";
inline constexpr std::string_view kURLAuthenticationMethodHTTPBasic = "NSURLAuthenticationMethodHTTPBasic";

// The platform's numbering.
enum class URLSessionAuthChallengeDisposition : int {
  kUseCredential = 0,
  kPerformDefaultHandling = 1,
  kCancelAuthenticationChallenge = 2,
  kRejectProtectionSpace = 3,
};

// A delegate's answer to a challenge.
struct URLAuthenticationChallengeAnswer {
  URLSessionAuthChallengeDisposition disposition =
      URLSessionAuthChallengeDisposition::kPerformDefaultHandling;
  std::optional<URLCredential> credential;
};

// Where the challenge comes from.
struct URLProtectionSpace {
  std::string host;
  int port = 0;
  // "http" or "https".
  std::string protocol;
  // The realm a Basic challenge names; nullopt for server trust.
  std::optional<std::string> realm;
  std::string_view authenticationMethod;
  // The server's trust, for kURLAuthenticationMethodServerTrust only.
  std::shared_ptr<ServerTrust> serverTrust;
};

struct URLAuthenticationChallenge {
  URLProtectionSpace protectionSpace;
  // How many credentials were refused for this task before (0 the first time).
  int previousFailureCount = 0;
  // The 401 reply of an HTTP authentication; nullptr for server trust.
  std::shared_ptr<const HTTPURLResponse> failureResponse;
};

}  // namespace ns
