#include "http_client/HCCodingValues.h"

namespace http_client {

namespace {

const ns::Value* entry(const ns::Value& dictionary, std::string_view key, bool (ns::Value::*isKind)() const) {
  const ns::Value* found = dictionary.find(key);
  return found != nullptr && (found->*isKind)() ? found : nullptr;
}

ns::Dictionary encodeHeaders(const ns::HTTPHeaderFields& headers) {
  ns::Dictionary encoded;
  for (const auto& [field, value] : headers) {
    encoded[field] = value;
  }
  return encoded;
}

ns::HTTPHeaderFields decodeHeaders(const ns::Value* headers) {
  ns::HTTPHeaderFields decoded;
  if (headers != nullptr) {
    for (const auto& [field, value] : headers->asDictionary()) {
      if (value.isString()) {
        decoded[field] = value.asString();
      }
    }
  }
  return decoded;
}

}  // namespace

ns::Dictionary HCEncodeURLRequest(const ns::URLRequest& request) {
  ns::Dictionary encoded{
      {"HTTPMethod", request.HTTPMethod()},
      {"allHTTPHeaderFields", encodeHeaders(request.allHTTPHeaderFields())},
      {"timeoutInterval", request.timeoutInterval()},
      {"cachePolicy", static_cast<unsigned>(request.cachePolicy())},
      {"networkServiceType", static_cast<unsigned>(request.networkServiceType())},
      {"allowsCellularAccess", request.allowsCellularAccess()},
      {"HTTPShouldHandleCookies", request.HTTPShouldHandleCookies()},
      {"HTTPShouldUsePipelining", request.HTTPShouldUsePipelining()},
  };
  if (request.url()) {
    encoded["URL"] = request.url()->absoluteString();
  }
  if (request.HTTPBody()) {
    encoded["HTTPBody"] = *request.HTTPBody();
  }
  return encoded;
}

std::optional<ns::URLRequest> HCDecodeURLRequest(const ns::Value& value) {
  const ns::Value* method = entry(value, "HTTPMethod", &ns::Value::isString);
  if (method == nullptr) {
    return std::nullopt;
  }
  const ns::Value* url = entry(value, "URL", &ns::Value::isString);
  ns::URLRequest request(url != nullptr ? ns::URL::fromString(url->asString()) : std::nullopt);
  request.setHTTPMethod(method->asString());
  request.setAllHTTPHeaderFields(
      decodeHeaders(entry(value, "allHTTPHeaderFields", &ns::Value::isDictionary)));
  if (const ns::Value* body = entry(value, "HTTPBody", &ns::Value::isData)) {
    request.setHTTPBody(body->asData());
  }
  if (const ns::Value* timeout = entry(value, "timeoutInterval", &ns::Value::isNumber)) {
    request.setTimeoutInterval(timeout->doubleValue());
  }
  if (const ns::Value* policy = entry(value, "cachePolicy", &ns::Value::isNumber)) {
    request.setCachePolicy(static_cast<ns::URLRequestCachePolicy>(policy->integerValue()));
  }
  if (const ns::Value* type = entry(value, "networkServiceType", &ns::Value::isNumber)) {
    request.setNetworkServiceType(static_cast<ns::URLRequestNetworkServiceType>(type->integerValue()));
  }
  if (const ns::Value* allows = entry(value, "allowsCellularAccess", &ns::Value::isNumber)) {
    request.setAllowsCellularAccess(allows->boolValue());
  }
  if (const ns::Value* cookies = entry(value, "HTTPShouldHandleCookies", &ns::Value::isNumber)) {
    request.setHTTPShouldHandleCookies(cookies->boolValue());
  }
  if (const ns::Value* pipelining = entry(value, "HTTPShouldUsePipelining", &ns::Value::isNumber)) {
    request.setHTTPShouldUsePipelining(pipelining->boolValue());
  }
  return request;
}

ns::Dictionary HCEncodeHTTPURLResponse(const ns::HTTPURLResponse& response) {
  return ns::Dictionary{{"URL", response.url().absoluteString()},
                        {"statusCode", response.statusCode()},
                        {"allHeaderFields", encodeHeaders(response.allHeaderFields())}};
}

std::shared_ptr<const ns::HTTPURLResponse> HCDecodeHTTPURLResponse(const ns::Value& value) {
  const ns::Value* urlText = entry(value, "URL", &ns::Value::isString);
  const ns::Value* statusCode = entry(value, "statusCode", &ns::Value::isInteger);
  std::optional<ns::URL> url = urlText != nullptr ? ns::URL::fromString(urlText->asString()) : std::nullopt;
  if (!url || statusCode == nullptr) {
    return nullptr;
  }
  return std::make_shared<const ns::HTTPURLResponse>(
      std::move(*url), statusCode->intValue(),
      decodeHeaders(entry(value, "allHeaderFields", &ns::Value::isDictionary)));
}

ns::Dictionary HCEncodeError(const ns::Error& error) {
  ns::Dictionary encoded{{"domain", error.domain()}, {"code", error.code()}, {"userInfo", error.userInfo()}};
  if (error.underlyingError()) {
    encoded["underlyingError"] = HCEncodeError(*error.underlyingError());
  }
  return encoded;
}

std::optional<ns::Error> HCDecodeError(const ns::Value& value) {
  const ns::Value* domain = entry(value, "domain", &ns::Value::isString);
  const ns::Value* code = entry(value, "code", &ns::Value::isInteger);
  if (domain == nullptr || code == nullptr) {
    return std::nullopt;
  }
  const ns::Value* userInfo = entry(value, "userInfo", &ns::Value::isDictionary);
  ns::Error error(domain->asString(), code->asInteger(),
                  userInfo != nullptr ? userInfo->asDictionary() : ns::Dictionary());
  if (const ns::Value* underlying = value.find("underlyingError")) {
    if (std::optional<ns::Error> underlyingError = HCDecodeError(*underlying)) {
      error.setUnderlyingError(std::move(*underlyingError));
    }
  }
  return error;
}

}  // namespace http_client
