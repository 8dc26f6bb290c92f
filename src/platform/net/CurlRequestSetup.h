#pragma once

// How a URLRequest becomes the options of a libcurl easy handle: the checks a request must pass to be sent,
// and the URL, method, body and header fields. Callbacks and TLS stay with the transfer that owns the handle.
// Thread-safety: pure functions over the handle given.

#include <curl/curl.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/foundation/values/Error.h"
#include "platform/net/CurlEasyOptions.h"
#include "platform/net/CurlHandles.h"
#include "platform/net/URLRequest.h"

namespace ns {

// Returns the URL error that keeps `request` from being sent (no URL, a scheme other than http or https, no
// host, a body stream read before), or nullopt when it can be sent.
std::optional<Error> errorBeforeSending(const URLRequest& request);

// Sets the URL (without fragment), method, body and header fields of `request` through `options`, opening a
// body stream. Returns the header list, which must outlive the transfer; a refused option, or a header list
// that could not be built, is kept in `options`. REQUIRES: errorBeforeSending(request) is nullopt;
// `request` outlives the transfer (libcurl reads a byte body in place).
CurlHeaderList applyRequest(CurlEasyOptions& options, const URLRequest& request);

// Returns the body length `request` announces: the byte body's size, a stream's "Content-Length", or -1.
std::int64_t announcedBodyLength(const URLRequest& request);

}  // namespace ns
