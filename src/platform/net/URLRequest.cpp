#include "platform/net/URLRequest.h"

#include "platform/net/DescriptionFormat.h"

namespace ns {

URLRequest::URLRequest(std::optional<URL> url, URLRequestCachePolicy cachePolicy, double timeoutInterval)
    : url_(std::move(url)), timeoutInterval_(timeoutInterval), cachePolicy_(cachePolicy) {}

std::optional<std::string> URLRequest::valueForHTTPHeaderField(std::string_view field) const {
  const auto found = headers_.find(field);
  if (found == headers_.end()) {
    return std::nullopt;
  }
  return found->second;
}

void URLRequest::setValue(std::optional<std::string> value, std::string_view field) {
  const auto found = headers_.find(field);
  if (!value) {
    if (found != headers_.end()) {
      headers_.erase(found);
    }
    return;
  }
  if (found != headers_.end()) {
    found->second = std::move(*value);
  } else {
    headers_.emplace(std::string(field), std::move(*value));
  }
}

void URLRequest::setHTTPBody(std::optional<Data> body) {
  body_ = std::move(body);
  bodyStream_.reset();
}

void URLRequest::setHTTPBodyStream(std::shared_ptr<InputStream> stream) {
  bodyStream_ = std::move(stream);
  body_.reset();
}

std::string URLRequest::description() const {
  return descriptionPrefix("URLRequest", this) + " { URL: " + (url_ ? url_->absoluteString() : "(null)") +
         " }";
}

}  // namespace ns
