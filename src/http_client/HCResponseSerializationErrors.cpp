#include "http_client/HCResponseSerializationErrors.h"

#include "http_client/HCCodingValues.h"
#include "http_client/HCURLResponseSerialization.h"
#include "platform/net/URLError.h"

namespace http_client {

ns::Error HCResponseSerializationError(std::int64_t code, std::string description,
                                       const ns::HTTPURLResponse& response,
                                       const std::optional<ns::Data>& data) {
  ns::Dictionary userInfo{
      {std::string(ns::kLocalizedDescriptionKey), std::move(description)},
      {std::string(ns::kURLErrorFailingURLErrorKey), response.url().absoluteString()},
      {std::string(kHCNetworkingOperationFailingURLResponseErrorKey), HCEncodeHTTPURLResponse(response)},
  };
  if (data) {
    userInfo[std::string(kHCNetworkingOperationFailingURLResponseDataErrorKey)] = *data;
  }
  return ns::Error(std::string(kHCURLResponseSerializationErrorDomain), code, std::move(userInfo));
}

std::optional<ns::Error> HCErrorWithUnderlyingError(std::optional<ns::Error> error,
                                                    std::optional<ns::Error> underlyingError) {
  if (!error) {
    return underlyingError;
  }
  if (underlyingError && !error->underlyingError()) {
    error->setUnderlyingError(std::move(*underlyingError));
  }
  return error;
}

bool HCErrorOrUnderlyingErrorHasCodeInDomain(const ns::Error& error, std::int64_t code,
                                             std::string_view domain) {
  for (const ns::Error* current = &error; current != nullptr; current = current->underlyingError().get()) {
    if (current->code() == code && current->domain() == domain) {
      return true;
    }
  }
  return false;
}

}  // namespace http_client
