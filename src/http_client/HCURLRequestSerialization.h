#pragma once

// HCURLRequestSerialization: what every request serializer does: put its headers and the caller's
// parameters onto a request.
// Thread-safety: as the serializer that implements it.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"
#include "platform/net/URLRequest.h"

namespace http_client {

inline constexpr std::string_view kHCURLRequestSerializationErrorDomain =
    "com.httpclient.error.serialization.request";
// Codes of kHCURLRequestSerializationErrorDomain.
// A file given for a multipart body is not a file URL, or cannot be reached.
inline constexpr std::int64_t kHCRequestErrorBadURL = -1000;
// A part's body ended before, or went on past, the length its part declared, or a body stream was read
// before (the number the platform uses for a body stream that ran dry).
inline constexpr std::int64_t kHCRequestErrorBodyLengthMismatch = -1021;
// A multipart body holding a part read from a stream was to be copied.
inline constexpr std::int64_t kHCRequestErrorStreamNotCopyable = -1022;
// Writing a request's body into a file wrote fewer bytes than the body holds.
inline constexpr std::int64_t kHCRequestErrorShortWrite = -1023;

class HCURLRequestSerialization {
 public:
  virtual ~HCURLRequestSerialization() = default;

  // Returns a copy of `request` with the serializer's default headers (where the request has none of that
  // name) and `parameters` (std::nullopt: none) encoded into it. Returns the error of a custom encoding that
  // failed.
  virtual ns::Result<ns::URLRequest> requestBySerializingRequest(
      const ns::URLRequest& request, const std::optional<ns::Dictionary>& parameters) const = 0;
};

}  // namespace http_client
