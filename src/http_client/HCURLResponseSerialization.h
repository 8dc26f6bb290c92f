#pragma once

// HCURLResponseSerialization: what every response serializer does: check a response and turn its body into
// an object. Also the error domain and user-info keys of those checks.
// Thread-safety: implementations may be called on several threads at once.

#include <memory>
#include <optional>
#include <string_view>

#include "platform/foundation/values/Error.h"
#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"
#include "platform/net/URLResponse.h"

namespace uikit {
class Image;
}  // namespace uikit

namespace http_client {

inline constexpr std::string_view kHCURLResponseSerializationErrorDomain =
    "com.httpclient.error.serialization.response";
// User-info key of the response that failed a check: a dictionary with "URL" (text), "statusCode" and
// "allHeaderFields".
inline constexpr std::string_view kHCNetworkingOperationFailingURLResponseErrorKey =
    "com.httpclient.serialization.response.error.response";
// User-info key of the body data of the response that failed a check.
inline constexpr std::string_view kHCNetworkingOperationFailingURLResponseDataErrorKey =
    "com.httpclient.serialization.response.error.data";

// Codes of kHCURLResponseSerializationErrorDomain.
inline constexpr std::int64_t kHCResponseErrorBadServerResponse = -1011;        // status code not accepted
inline constexpr std::int64_t kHCResponseErrorCannotDecodeContentData = -1016;  // type or text not accepted

// What a serializer makes of a response: an object, an error, both (an object from a refused reply) or
// neither. The object is a value, or what no value can hold: an image serializer's decoded image, or another
// object (an XML parser) in responseReferenceObject.
struct HCSerializedResponse {
  std::optional<ns::Value> responseObject;
  std::optional<ns::Error> error;
  // Initialised here, so that a serializer of values may leave them out of a braced initialiser.
  std::shared_ptr<const uikit::Image> responseImage = nullptr;
  std::shared_ptr<ns::Object> responseReferenceObject = nullptr;

  bool hasObject() const {
    return responseObject.has_value() || responseImage != nullptr || responseReferenceObject != nullptr;
  }
};

class HCURLResponseSerialization {
 public:
  virtual ~HCURLResponseSerialization() = default;

  // Returns the object that `data` (std::nullopt: no body) of `response` (nullptr: none) holds, with the
  // error of any check that failed.
  virtual HCSerializedResponse responseObjectForResponse(
      const std::shared_ptr<const ns::URLResponse>& response, const std::optional<ns::Data>& data) const = 0;
};

}  // namespace http_client
