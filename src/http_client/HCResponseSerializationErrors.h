#pragma once

// Building and reading the errors of response checks. Thread-safe: pure functions.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Error.h"
#include "platform/net/HTTPURLResponse.h"

namespace http_client {

// Returns an error of kHCURLResponseSerializationErrorDomain with `code` and `description`, naming the
// failing URL, the response and, when there is one, the body.
ns::Error HCResponseSerializationError(std::int64_t code, std::string description,
                                       const ns::HTTPURLResponse& response,
                                       const std::optional<ns::Data>& data);

// Returns `error` with `underlyingError` beneath it when both exist and `error` has nothing beneath it yet;
// otherwise `error`, or `underlyingError` when there is no `error`.
std::optional<ns::Error> HCErrorWithUnderlyingError(std::optional<ns::Error> error,
                                                    std::optional<ns::Error> underlyingError);

// True when `error`, or any error beneath it, has `domain` and `code`.
bool HCErrorOrUnderlyingErrorHasCodeInDomain(const ns::Error& error, std::int64_t code,
                                             std::string_view domain);

}  // namespace http_client
