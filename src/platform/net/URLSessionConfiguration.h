#pragma once

// ns::URLSessionConfiguration: how a URLSession loads: the idle time-out its requests get unless they set
// their own, and header fields added to every request that lacks them. Sessions are never background ones:
// their tasks live and end with the process. A plain value; thread-safe as a value.

#include <optional>

#include "platform/foundation/values/Value.h"
#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/URLRequest.h"

namespace ns {

class URLSessionConfiguration {
 public:
  // The platform's default: the requests' own time-outs (URLRequest::kDefaultTimeoutInterval) and no added
  // header fields.
  static URLSessionConfiguration defaultSessionConfiguration() { return URLSessionConfiguration(); }

  // Seconds of inactivity after which a request that kept the default time-out fails.
  double timeoutIntervalForRequest() const { return timeoutIntervalForRequest_; }
  void setTimeoutIntervalForRequest(double seconds) { timeoutIntervalForRequest_ = seconds; }
  const HTTPHeaderFields& HTTPAdditionalHeaders() const { return additionalHeaders_; }
  void setHTTPAdditionalHeaders(HTTPHeaderFields headers) { additionalHeaders_ = std::move(headers); }

  // Returns `request` as this configuration sends it: the added header fields it lacks, and the
  // configuration's time-out when the request kept the default one.
  URLRequest applyTo(URLRequest request) const;

  // {"timeoutIntervalForRequest": number, "HTTPAdditionalHeaders": dictionary of texts}.
  Dictionary encoded() const;
  // Returns the configuration that `value` archives, or nullopt when it is not an archived configuration.
  static std::optional<URLSessionConfiguration> decoded(const Value& value);

  bool operator==(const URLSessionConfiguration& other) const = default;

 private:
  double timeoutIntervalForRequest_ = URLRequest::kDefaultTimeoutInterval;
  HTTPHeaderFields additionalHeaders_;
};

}  // namespace ns
