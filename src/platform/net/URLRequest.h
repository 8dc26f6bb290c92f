#pragma once

// ns::URLRequest: what to load: the URL, the method, header fields, an optional body (bytes or a stream), an
// idle time-out and a cache policy. A plain value with setters: copy it to derive a changed request (the body
// stream, when there is one, is shared by the copies). Thread-safe as a value.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Data.h"
#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/InputStream.h"
#include "platform/net/URL.h"

namespace ns {

// Kept on the request for callers that set it; loads never read the URL cache (URLCache.h).
enum class URLRequestCachePolicy : unsigned {
  kUseProtocolCachePolicy = 0,
  kReloadIgnoringLocalCacheData = 1,
  kReturnCacheDataElseLoad = 2,
  kReturnCacheDataDontLoad = 3,
  kReloadIgnoringLocalAndRemoteCacheData = 4,
  kReloadRevalidatingCacheData = 5,
};

enum class URLRequestNetworkServiceType : unsigned {
  kDefault = 0,
  kVoIP = 1,
  kVideo = 2,
  kBackground = 3,
  kVoice = 4,
};

class URLRequest {
 public:
  // The idle time-out of a request that was given none: seconds without any network activity.
  static constexpr double kDefaultTimeoutInterval = 60.0;

  // A GET of `url` (nullopt: a request without a URL, which fails when loaded).
  explicit URLRequest(std::optional<URL> url = std::nullopt,
                      URLRequestCachePolicy cachePolicy = URLRequestCachePolicy::kUseProtocolCachePolicy,
                      double timeoutInterval = kDefaultTimeoutInterval);

  const std::optional<URL>& url() const { return url_; }
  void setURL(std::optional<URL> url) { url_ = std::move(url); }

  // The method as given, "GET" by default.
  const std::string& HTTPMethod() const { return method_; }
  void setHTTPMethod(std::string method) { method_ = std::move(method); }

  const HTTPHeaderFields& allHTTPHeaderFields() const { return headers_; }
  void setAllHTTPHeaderFields(HTTPHeaderFields headers) { headers_ = std::move(headers); }
  // Returns the value of the header named `field` in any letter case, or nullopt.
  std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const;
  // Sets the header named `field` (matched in any letter case; a new name keeps this spelling); nullopt
  // removes it.
  void setValue(std::optional<std::string> value, std::string_view field);

  // The body as bytes. Setting one drops a body stream, and the other way round.
  const std::optional<Data>& HTTPBody() const { return body_; }
  void setHTTPBody(std::optional<Data> body);
  // The body as a stream, read once when the request is sent. Its length goes on the wire from a
  // "Content-Length" header when the request has one, else the body is sent in chunks.
  const std::shared_ptr<InputStream>& HTTPBodyStream() const { return bodyStream_; }
  void setHTTPBodyStream(std::shared_ptr<InputStream> stream);

  // Seconds of network inactivity after which loading fails with the time-out error; a value not above zero
  // means kDefaultTimeoutInterval.
  double timeoutInterval() const { return timeoutInterval_; }
  void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }

  URLRequestCachePolicy cachePolicy() const { return cachePolicy_; }
  void setCachePolicy(URLRequestCachePolicy policy) { cachePolicy_ = policy; }
  URLRequestNetworkServiceType networkServiceType() const { return networkServiceType_; }
  void setNetworkServiceType(URLRequestNetworkServiceType type) { networkServiceType_ = type; }
  bool allowsCellularAccess() const { return allowsCellularAccess_; }
  void setAllowsCellularAccess(bool allows) { allowsCellularAccess_ = allows; }
  bool HTTPShouldHandleCookies() const { return shouldHandleCookies_; }
  void setHTTPShouldHandleCookies(bool handles) { shouldHandleCookies_ = handles; }
  bool HTTPShouldUsePipelining() const { return shouldUsePipelining_; }
  void setHTTPShouldUsePipelining(bool uses) { shouldUsePipelining_ = uses; }

  // "<URLRequest: 0x...> { URL: <absolute string> }" ("(null)" without a URL).
  std::string description() const;

 private:
  std::optional<URL> url_;
  std::string method_ = "GET";
  HTTPHeaderFields headers_;
  std::optional<Data> body_;
  std::shared_ptr<InputStream> bodyStream_;
  double timeoutInterval_;
  URLRequestCachePolicy cachePolicy_;
  URLRequestNetworkServiceType networkServiceType_ = URLRequestNetworkServiceType::kDefault;
  bool allowsCellularAccess_ = true;
  bool shouldHandleCookies_ = true;
  bool shouldUsePipelining_ = false;
};

}  // namespace ns
