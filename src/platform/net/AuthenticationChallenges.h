#pragma once

// The challenges URL loading meets, built the same way for every loader: a TLS server's trust, and a 401
// reply naming the Basic scheme; and the header that answers a Basic challenge with a credential.

#include <memory>
#include <optional>
#include <string>

#include "platform/net/HTTPURLResponse.h"
#include "platform/net/ServerTrust.h"
#include "platform/net/URL.h"
#include "platform/net/URLAuthenticationChallenge.h"
#include "platform/net/URLCredential.h"

namespace ns {

// The challenge of the TLS server at `host`, reached for `url`; it holds its own copy of `trust`'s chain.
URLAuthenticationChallenge serverTrustChallenge(const URL& url, const std::string& host,
                                                const ServerTrust& trust);

// The Basic challenge that `response` to `url` makes, or nullopt when it is no 401 naming the Basic scheme.
std::optional<URLAuthenticationChallenge> basicChallengeOf(const URL& url,
                                                           std::shared_ptr<const HTTPURLResponse> response,
                                                           int previousFailureCount);

// The "Authorization" value that answers a Basic challenge with `credential`'s user and password.
std::string basicAuthorization(const URLCredential& credential);

}  // namespace ns
