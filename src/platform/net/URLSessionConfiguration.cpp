#include "platform/net/URLSessionConfiguration.h"

namespace ns {

namespace {

constexpr char kTimeoutKey[] = "timeoutIntervalForRequest";
constexpr char kHeadersKey[] = "HTTPAdditionalHeaders";

}  // namespace

URLRequest URLSessionConfiguration::applyTo(URLRequest request) const {
  for (const auto& [name, value] : additionalHeaders_) {
    if (!request.valueForHTTPHeaderField(name)) {
      request.setValue(value, name);
    }
  }
  if (request.timeoutInterval() == URLRequest::kDefaultTimeoutInterval) {
    request.setTimeoutInterval(timeoutIntervalForRequest_);
  }
  return request;
}

Dictionary URLSessionConfiguration::encoded() const {
  Dictionary headers;
  for (const auto& [name, value] : additionalHeaders_) {
    headers[name] = value;
  }
  return Dictionary{{kTimeoutKey, timeoutIntervalForRequest_}, {kHeadersKey, std::move(headers)}};
}

std::optional<URLSessionConfiguration> URLSessionConfiguration::decoded(const Value& value) {
  const Value* timeout = value.isDictionary() ? value.find(kTimeoutKey) : nullptr;
  const Value* headers = value.isDictionary() ? value.find(kHeadersKey) : nullptr;
  if (timeout == nullptr || !timeout->isNumber() || headers == nullptr || !headers->isDictionary()) {
    return std::nullopt;
  }
  URLSessionConfiguration configuration;
  configuration.timeoutIntervalForRequest_ =
      timeout->isDouble() ? timeout->asDouble() : static_cast<double>(timeout->asInteger());
  for (const auto& [name, field] : headers->asDictionary()) {
    if (field.isString()) {
      configuration.additionalHeaders_[name] = field.asString();
    }
  }
  return configuration;
}

}  // namespace ns
