#pragma once

// The base URL of the HTTP managers: the rule that gives it a trailing "/", how URL strings resolve against
// it, and its archived form. Thread-safe: pure functions.

#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Value.h"
#include "platform/net/URL.h"

namespace http_client {

// The key under which managers archive their base URL, as text.
inline constexpr char kHCBaseURLCodingKey[] = "baseURL";

// Returns `url` with "/" added to a non-empty path that lacks it, in front of any query and fragment, so that
// relative strings resolve below the path rather than beside its last segment. A URL without a path stays.
std::optional<ns::URL> HCBaseURLEndingInSlash(std::optional<ns::URL> url);
// Returns the absolute string of `URLString` resolved against `baseURL`; `URLString` itself without a base
// URL, or when it does not resolve.
std::string HCURLStringAgainstBaseURL(const std::optional<ns::URL>& baseURL, std::string_view URLString);
// Returns the base URL archived in `coder`, or std::nullopt.
std::optional<ns::URL> HCArchivedBaseURL(const ns::Dictionary& coder);

}  // namespace http_client
