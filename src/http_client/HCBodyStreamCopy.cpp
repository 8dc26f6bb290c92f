#include "http_client/HCBodyStreamCopy.h"

#include "http_client/HCMultipartBodyStream.h"

namespace http_client {

std::shared_ptr<ns::InputStream> HCCopyOfBodyStream(const ns::URLRequest& request) {
  const auto multipart = std::dynamic_pointer_cast<HCMultipartBodyStream>(request.HTTPBodyStream());
  if (!multipart) {
    return nullptr;
  }
  ns::Result<std::shared_ptr<HCMultipartBodyStream>> copied = multipart->copy();
  return copied ? std::move(*copied) : nullptr;
}

}  // namespace http_client
