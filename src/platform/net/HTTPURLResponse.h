#pragma once

// ns::HTTPURLResponse: the status code and header fields of an HTTP response, with the MIME type, text
// encoding name and expected length read from "Content-Type" and "Content-Length". Immutable: thread-safe.

#include <optional>
#include <string>

#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/URLResponse.h"

namespace ns {

class HTTPURLResponse : public URLResponse {
 public:
  // Header fields that came more than once are expected joined with ", ". `peerAddress` is the server's
  // numeric address when the response came over a connection.
  HTTPURLResponse(URL url, int statusCode, HTTPHeaderFields headerFields,
                  std::optional<std::string> peerAddress = std::nullopt);

  int statusCode() const { return statusCode_; }
  // Every header field; lookups ignore the letter case of the name.
  const HTTPHeaderFields& allHeaderFields() const { return headerFields_; }

  // Returns the reason phrase of `statusCode` in lower case ("not found" for 404); for a code without a
  // phrase, the name of its class ("success", "client error", ...), and "server error" for any code
  // outside 100 to 499.
  static std::string localizedStringForStatusCode(int statusCode);

  std::string description() const override;

 private:
  // Constant after construction
  int statusCode_;
  HTTPHeaderFields headerFields_;
};

}  // namespace ns
