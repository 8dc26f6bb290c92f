#pragma once

// Reading the numbers that serializers keep in their archives. Thread-safe: pure functions.

#include <optional>
#include <string_view>

#include "platform/foundation/values/Value.h"

namespace http_client {

// Returns the number under `key` as an unsigned integer, or std::nullopt when there is none (or it is not a
// number that fits), so that the caller keeps its default.
std::optional<unsigned> HCDecodedUnsigned(const ns::Dictionary& coder, std::string_view key);

}  // namespace http_client
