#pragma once

// The archived forms of the loading types that the HTTP client's classes write when they are encoded:
// dictionaries of property-list values (ns::KeyedArchiver). A request's body stream is not archived.
// Thread-safe: pure functions.

#include <memory>
#include <optional>

#include "platform/foundation/values/Error.h"
#include "platform/foundation/values/Value.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/URLRequest.h"

namespace http_client {

ns::Dictionary HCEncodeURLRequest(const ns::URLRequest& request);
// Returns the request that `value` archives, or std::nullopt when it is not an archived request.
std::optional<ns::URLRequest> HCDecodeURLRequest(const ns::Value& value);

// {"URL": text, "statusCode": integer, "allHeaderFields": dictionary of texts}.
ns::Dictionary HCEncodeHTTPURLResponse(const ns::HTTPURLResponse& response);
// Returns the response that `value` archives, or nullptr when it is not an archived response.
std::shared_ptr<const ns::HTTPURLResponse> HCDecodeHTTPURLResponse(const ns::Value& value);

// The domain, code and user info, with the underlying error nested under "underlyingError".
ns::Dictionary HCEncodeError(const ns::Error& error);
// Returns the error that `value` archives, or std::nullopt when it is not an archived error.
std::optional<ns::Error> HCDecodeError(const ns::Value& value);

}  // namespace http_client
