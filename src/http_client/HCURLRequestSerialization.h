#pragma once

// HCURLRequestSerialization: what every request serializer does: put its headers and the caller's
// parameters onto a request.
// Thread-safety: as the serializer that implements it.

#include <optional>

#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"
#include "platform/net/URLRequest.h"

namespace http_client {

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
