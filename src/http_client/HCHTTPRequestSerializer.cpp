#include "http_client/HCHTTPRequestSerializer.h"

#include <cstdio>
#include <vector>

#include "http_client/HCBodyStreamFileWriter.h"
#include "http_client/HCFileURL.h"
#include "http_client/HCQueryStringSerialization.h"
#include "http_client/HCStreamingMultipartFormData.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/Base64.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/text/CaseMapping.h"
#include "platform/foundation/text/PreferredLanguages.h"
#include "platform/foundation/text/Transliteration.h"
#include "platform/foundation/values/Utf8.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Screen.h"

namespace http_client {

namespace {

constexpr char kHeadersCodingKey[] = "mutableHTTPRequestHeaders";
constexpr char kQueryStyleCodingKey[] = "queryStringSerializationStyle";
constexpr char kAuthorizationHeader[] = "Authorization";

template <typename... Arguments>
std::string formatted(const char* format, Arguments... arguments) {
  const int length = std::snprintf(nullptr, 0, format, arguments...);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, arguments...);
  text.pop_back();
  return text;
}

// "en;q=1, zh-Hans;q=0.9, fr;q=0.8": at most six languages, the weight falling by 0.1 down to 0.5.
std::string acceptLanguageHeader() {
  std::string header;
  const std::vector<std::string> languages = ns::preferredLanguages();
  for (std::size_t index = 0; index < languages.size(); ++index) {
    const float quality = 1.0f - static_cast<float>(index) * 0.1f;
    if (!header.empty()) {
      header += ", ";
    }
    header += languages[index] + ";q=" + formatted("%0.1g", static_cast<double>(quality));
    if (quality <= 0.5f) {
      break;
    }
  }
  return header;
}

std::string bundleInfo(const ns::Bundle& bundle, std::string_view key, std::string_view fallbackKey) {
  const ns::Value* value = bundle.objectForInfoDictionaryKey(key);
  return ns::describe(value != nullptr ? value : bundle.objectForInfoDictionaryKey(fallbackKey));
}

// "Quillmark/1.0 (iPhone; iOS 9.3; Scale/2.00)", spelled in ASCII letters when the names are not.
std::string userAgentHeader() {
  const std::shared_ptr<const ns::Bundle> bundle = ns::Bundle::mainBundle();
  std::string userAgent = bundleInfo(*bundle, "CFBundleExecutable", "CFBundleIdentifier") + "/" +
                          bundleInfo(*bundle, "CFBundleShortVersionString", "CFBundleVersion") + " (" +
                          uikit::Device::currentDevice().model() + "; iOS " +
                          uikit::Device::currentDevice().systemVersion() + "; Scale/" +
                          formatted("%0.2f", uikit::Screen::mainScreen().scale()) + ")";
  if (ns::isASCII(userAgent)) {
    return userAgent;
  }
  return ns::transliterate(userAgent, "Any-Latin; Latin-ASCII; [:^ASCII:] Remove").value_or(userAgent);
}

// Joins `query` to the URL's own query, in front of its fragment.
std::optional<ns::URL> urlWithQuery(const ns::URL& url, const std::string& query) {
  std::string text = url.absoluteStringWithoutFragment() + (url.query() ? "&" : "?") + query;
  if (url.fragment()) {
    text += "#" + *url.fragment();
  }
  return ns::URL::fromString(text);
}

// The bytes a form field sends for `value`: data as it is, null as nothing, anything else as its text.
ns::Data formFieldData(const ns::Value& value, const ns::StringEncoding& encoding) {
  if (value.isData()) {
    return value.asData();
  }
  if (value.isNull()) {
    return ns::Data();
  }
  const std::string text = value.isString() ? value.asString() : ns::describe(value);
  return encoding.encode(text).value_or(ns::dataFromString(text));
}

std::optional<std::uint64_t> declaredContentLength(const ns::URLRequest& request) {
  const std::optional<std::string> length = request.valueForHTTPHeaderField("Content-Length");
  if (!length || length->empty() || length->find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoull(*length);
}

}  // namespace

std::shared_ptr<HCHTTPRequestSerializer> HCHTTPRequestSerializer::serializer() {
  return std::make_shared<HCHTTPRequestSerializer>();
}

HCHTTPRequestSerializer::HCHTTPRequestSerializer() {
  QM_DCHECK_MAIN_THREAD();
  headers_["Accept-Language"] = acceptLanguageHeader();
  headers_["User-Agent"] = userAgentHeader();
}

HCHTTPRequestSerializer::HCHTTPRequestSerializer(const ns::Dictionary& coder) : HCHTTPRequestSerializer() {
  if (const auto headers = coder.find(kHeadersCodingKey);
      headers != coder.end() && headers->second.isDictionary()) {
    headers_.clear();
    for (const auto& [field, value] : headers->second.asDictionary()) {
      if (value.isString()) {
        headers_[field] = value.asString();
      }
    }
  }
  if (const auto style = coder.find(kQueryStyleCodingKey);
      style != coder.end() && style->second.isInteger()) {
    queryStyle_ = static_cast<HCHTTPRequestQueryStringSerializationStyle>(style->second.asInteger());
  }
}

void HCHTTPRequestSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  ns::Dictionary headers;
  for (const auto& [field, value] : headers_) {
    headers[field] = value;
  }
  coder[kHeadersCodingKey] = std::move(headers);
  coder[kQueryStyleCodingKey] = static_cast<std::int64_t>(queryStyle_);
}

std::shared_ptr<HCHTTPRequestSerializer> HCHTTPRequestSerializer::copy() const {
  auto serializer = std::make_shared<HCHTTPRequestSerializer>();
  copyDefaultsInto(*serializer);
  return serializer;
}

void HCHTTPRequestSerializer::copyDefaultsInto(HCHTTPRequestSerializer& target) const {
  target.headers_ = headers_;
  target.queryStyle_ = queryStyle_;
  target.queryStringSerialization_ = queryStringSerialization_;
}

void HCHTTPRequestSerializer::setValue(std::optional<std::string> value, const std::string& field) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (value) {
    headers_[field] = std::move(*value);
  } else {
    headers_.erase(field);
  }
}

std::optional<std::string> HCHTTPRequestSerializer::valueForHTTPHeaderField(const std::string& field) const {
  const auto found = headers_.find(field);
  return found == headers_.end() ? std::nullopt : std::optional<std::string>(found->second);
}

void HCHTTPRequestSerializer::setAuthorizationHeaderFieldWithUsername(std::string_view username,
                                                                      std::string_view password) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  const std::string credentials = std::string(username) + ":" + std::string(password);
  setValue("Basic " + ns::base64Encode(ns::dataFromString(credentials)), kAuthorizationHeader);
}

void HCHTTPRequestSerializer::setAuthorizationHeaderFieldWithToken(std::string_view token) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  setValue("Token token=\"" + std::string(token) + "\"", kAuthorizationHeader);
}

void HCHTTPRequestSerializer::clearAuthorizationHeader() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  setValue(std::nullopt, kAuthorizationHeader);
}

void HCHTTPRequestSerializer::setQueryStringSerializationWithStyle(
    HCHTTPRequestQueryStringSerializationStyle style) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  queryStyle_ = style;
  queryStringSerialization_ = nullptr;
}

void HCHTTPRequestSerializer::setQueryStringSerializationWithBlock(QueryStringSerializationBlock block) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  queryStringSerialization_ = std::move(block);
}

ns::Result<ns::URLRequest> HCHTTPRequestSerializer::requestWithMethod(
    std::string_view method, std::string_view URLString,
    const std::optional<ns::Dictionary>& parameters) const {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  ns::URLRequest request(ns::URL::fromString(URLString));
  request.setHTTPMethod(std::string(method));
  if (allowsCellularAccess_) {
    request.setAllowsCellularAccess(*allowsCellularAccess_);
  }
  if (cachePolicy_) {
    request.setCachePolicy(*cachePolicy_);
  }
  if (HTTPShouldHandleCookies_) {
    request.setHTTPShouldHandleCookies(*HTTPShouldHandleCookies_);
  }
  if (HTTPShouldUsePipelining_) {
    request.setHTTPShouldUsePipelining(*HTTPShouldUsePipelining_);
  }
  if (networkServiceType_) {
    request.setNetworkServiceType(*networkServiceType_);
  }
  if (timeoutInterval_) {
    request.setTimeoutInterval(*timeoutInterval_);
  }
  return requestBySerializingRequest(request, parameters);
}

ns::Result<ns::URLRequest> HCHTTPRequestSerializer::multipartFormRequestWithMethod(
    std::string_view method, std::string_view URLString, const std::optional<ns::Dictionary>& parameters,
    const ConstructingBodyBlock& block) const {
  ns::Result<ns::URLRequest> request = requestWithMethod(method, URLString, std::nullopt);
  if (!request) {
    return request;
  }
  HCStreamingMultipartFormData formData(std::move(*request), ns::StringEncoding::utf8());
  if (parameters) {
    for (const HCQueryStringPair& pair :
         HCQueryStringPairsFromKeyAndValue(std::nullopt, ns::Value(*parameters))) {
      formData.appendPartWithFormData(formFieldData(pair.value(), stringEncoding_), pair.field());
    }
  }
  if (block) {
    block(formData);
  }
  return formData.requestByFinalizingMultipartFormData();
}

ns::URLRequest HCHTTPRequestSerializer::requestWithMultipartFormRequest(
    const ns::URLRequest& request, const ns::URL& fileURL, WritingCompletionHandler completionHandler) const {
  std::shared_ptr<ns::InputStream> bodyStream = request.HTTPBodyStream();
  ns::URLRequest withoutBodyStream = request;
  withoutBodyStream.setHTTPBodyStream(nullptr);
  ns::DispatchQueue::global().async([bodyStream = std::move(bodyStream),
                                     path = HCFileSystemPathOfURL(fileURL),
                                     expectedLength = declaredContentLength(request),
                                     completionHandler = std::move(completionHandler)] {
    std::optional<ns::Error> error;
    if (!path) {
      error = ns::Error(
          std::string(kHCURLRequestSerializationErrorDomain), kHCRequestErrorBadURL,
          ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), "Expected URL to be a file URL"}});
    } else if (!bodyStream) {
      error = ns::Error(
          std::string(kHCURLRequestSerializationErrorDomain), kHCRequestErrorBadURL,
          ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), "The request has no body stream"}});
    } else if (ns::Status written = HCWriteBodyStreamToFile(*bodyStream, *path, expectedLength); !written) {
      error = written.error();
    }
    if (completionHandler) {
      ns::DispatchQueue::main().async([completionHandler, error] { completionHandler(error); });
    }
  });
  return withoutBodyStream;
}

ns::URLRequest HCHTTPRequestSerializer::requestWithDefaultHeaders(const ns::URLRequest& request) const {
  ns::URLRequest result = request;
  for (const auto& [field, value] : headers_) {
    if (!result.valueForHTTPHeaderField(field)) {
      result.setValue(value, field);
    }
  }
  return result;
}

ns::Result<ns::URLRequest> HCHTTPRequestSerializer::requestWithWrittenBody(
    const ns::URLRequest& request, const std::optional<ns::Dictionary>& parameters,
    std::string_view contentType, const BodyWriter& writeBody) const {
  if (methodsEncodingInURI_.contains(ns::uppercased(request.HTTPMethod()))) {
    return HCHTTPRequestSerializer::requestBySerializingRequest(request, parameters);
  }
  ns::URLRequest result = requestWithDefaultHeaders(request);
  if (!parameters) {
    return result;
  }
  ns::Result<ns::Data> body = writeBody(*parameters);
  if (!body) {
    return body.error();
  }
  if (!result.valueForHTTPHeaderField("Content-Type")) {
    result.setValue(std::string(contentType), "Content-Type");
  }
  result.setHTTPBody(std::move(*body));
  return result;
}

ns::Result<std::string> HCHTTPRequestSerializer::queryString(const ns::URLRequest& request,
                                                             const ns::Dictionary& parameters) const {
  if (queryStringSerialization_) {
    return queryStringSerialization_(request, parameters);
  }
  return HCQueryStringFromParameters(parameters, stringEncoding_);
}

ns::Result<ns::URLRequest> HCHTTPRequestSerializer::requestBySerializingRequest(
    const ns::URLRequest& request, const std::optional<ns::Dictionary>& parameters) const {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  ns::URLRequest result = requestWithDefaultHeaders(request);
  if (!parameters) {
    return result;
  }
  ns::Result<std::string> query = queryString(request, *parameters);
  if (!query) {
    return query.error();
  }
  if (methodsEncodingInURI_.contains(ns::uppercased(result.HTTPMethod()))) {
    if (result.url()) {
      result.setURL(urlWithQuery(*result.url(), *query));
    }
    return result;
  }
  if (!result.valueForHTTPHeaderField("Content-Type")) {
    result.setValue("application/x-www-form-urlencoded", "Content-Type");
  }
  result.setHTTPBody(stringEncoding_.encode(*query).value_or(ns::dataFromString(*query)));
  return result;
}

}  // namespace http_client
