#pragma once

// A fresh stream of a request's body, for a request that must be sent again (after a challenge): a multipart
// body is read again from its parts; any other stream can be read only once.

#include <memory>

#include "platform/net/InputStream.h"
#include "platform/net/URLRequest.h"

namespace http_client {

// Returns a new unopened copy of `request`'s multipart body stream; nullptr when the request has another
// stream, or a multipart body with a part read from a stream.
std::shared_ptr<ns::InputStream> HCCopyOfBodyStream(const ns::URLRequest& request);

}  // namespace http_client
